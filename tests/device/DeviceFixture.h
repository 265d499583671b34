#pragma once
// The device link against the simulator, loaded through the real loading code: a recorder in
// place of the window, a log in a temporary folder, and passes driven by the test.

#include "QtPrinters.h"
#include "TempDir.h"

#include "device/LibUSB.h"
#include "device/USBExchange.h"
#include "diag/ExchangeLog.h"
#include "platform/NamedEvent.h"
#include "results/MeasRecord.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lum1::test {

// The simulator's own entry points, looked up in the library the program has loaded.
struct SimControl {
    static void* Symbol(const char* name);
    static void LoadScenario(const std::string& text);
    static std::vector<std::string> Trace();
    static void ClearTrace();
    static void SetPlugged(int gauge, bool plugged);
    // Trace lines that contain every one of the given parts.
    static int Count(const std::string& part);
};

// Every window update as a line: "status:<text>" (keys shown as <Key>), "error:<text>",
// "progress:start", "progress:<n>", "progress:hide", "link:grey|green|red|white", "clear", "fill".
class RecordingWindow : public IExchangeWindow {
public:
    std::vector<std::string> Events() const;
    std::vector<std::string> Of(const std::string& prefix) const;
    void Clear();
    // Runs on the exchange thread after each event is recorded.
    void SetOnEvent(std::function<void(const std::string&)> hook) {
        std::lock_guard lock(mutex_);
        onEvent_ = std::move(hook);
    }

    void SyncStatus(const TStatusMessage& m) override;
    void PrintErrorToStatusBar(const QString& text) override { Add("error:" + text.toStdString()); }
    void SyncProgressStart() override { Add("progress:start"); }
    void SyncProgress(int position) override { Add("progress:" + std::to_string(position)); }
    void SyncProgressHide() override { Add("progress:hide"); }
    void SyncLink(TLinkColour colour) override;
    void SyncDataClear() override { Add("clear"); }
    void SyncFillTable() override { Add("fill"); }

private:
    void Add(const std::string& e);
    mutable std::mutex mutex_;
    std::vector<std::string> events_;
    std::function<void(const std::string&)> onEvent_;
};

class DeviceTest : public ::testing::Test {
protected:
    DeviceTest();
    ~DeviceTest() override;

    // Loads the simulator (passes until idle) with the gauges of a scenario.
    void Load(const std::string& scenario);
    // Passes until the running operation has ended and the thread is idle again.
    void RunUntilIdle(int maxPasses = 100000);
    // Signals the request of an operation and runs it to its end.
    void Run(TOperation operation);
    std::vector<std::string> LogLines() const; // without time stamps
    // The waiting actions' "process messages" for single-threaded tests: one pass each time. A
    // run that never ends stops the exchange, which ends the wait, instead of hanging the test.
    std::function<void()> Passes();

    TempDir dir_;
    std::unique_ptr<TExchangeLog> log_;
    std::unique_ptr<TLibUSB> usb_;
    std::unique_ptr<TRecordStore> store_;
    RecordingWindow window_;
    std::unique_ptr<TUSBExchange> exchange_;
    bool english_ = false;
    std::vector<int> sleeps_; // the step pauses the exchange asked for
};

std::vector<uint8_t> Bytes(const std::string& hex);

} // namespace lum1::test
