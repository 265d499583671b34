#pragma once
// The exchange thread's pass logic: the state machine that runs one step per pass. USBThread
// calls Pass every 50 ms; tests call it directly, pass by pass, with no thread and no sleeping.

#include "device/ExchangeWindow.h"
#include "device/GaugeProtocol.h"
#include "results/MeasRecord.h"

#include <QByteArray>

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace lum1 {

class TLibUSB;
class TNamedEvent;
class TEventNamespace;

enum TUSBStateValue : int {
    stFindDevice = 0,
    stReadParam = 1,
    stReadCount = 2,
    stReadRecords = 3,
    stReadEEPROM = 4,
    stReadScreen = 5,
    stClose = 7,
    stIdle = 8,
    stLoadLibrary = 255,
};

enum class TOperation { DataRead = 0, ScreenRead = 1, EEPROM = 2, None = 3 };

// The six auto-reset events between the window thread and the exchange thread.
struct TExchangeEvents {
    std::shared_ptr<TNamedEvent> DataRdEvent, DataReadedEvent, ScreenRdEvent, ScrReadedEvent, EEPROMRdEvent,
        EEPROMReadedEvent;
    // Created in the documented order with the documented base names.
    static TExchangeEvents Create(const TEventNamespace& names);
};

class TUSBExchange {
public:
    using Sleeper = std::function<void(int ms)>;

    // sleep: the step pauses (20 ms after a red link, 100 ms after a failure or a missed gauge
    // during a screen read); tests pass one that returns at once.
    TUSBExchange(TLibUSB& usb, IExchangeWindow& window, TExchangeEvents events, TRecordStore& store,
                 Sleeper sleep = {});
    TUSBExchange(const TUSBExchange&) = delete;
    TUSBExchange& operator=(const TUSBExchange&) = delete;

    void Pass();

    // The current step. The screen window's close handler may write stIdle.
    std::atomic<int> USBState{stLoadLibrary};

    // Set at close: exchanges stop between two transfers and no hand-over is waited for any more.
    void RequestStop() { stop_.store(true); }
    bool StopRequested() const { return stop_.load(); }

    // The window thread's side of an operation: signal the request event, then poll the
    // completion event every 1 ms, calling processEvents in between. Returns when the operation
    // has ended, successfully (true) or not (false: a format or limit outcome, a transfer failure,
    // a screen read given up by its window, or a stop at close). giveUp, asked between polls,
    // ends the wait (false) when it returns true.
    bool RunAndWait(TOperation operation, const std::function<void()>& processEvents,
                    const std::function<bool()>& giveUp = {});
    // Takes back a request the thread has not taken up yet; false when there is none (it was
    // taken up, or never made).
    bool WithdrawRequest(TOperation operation);
    // The two action bodies without their window parts (status text, menu state).
    bool AReadExecute(const std::function<void()>& processEvents) {
        return RunAndWait(TOperation::DataRead, processEvents);
    }
    bool ARdEEPROMExecute(const std::function<void()>& processEvents) {
        return RunAndWait(TOperation::EEPROM, processEvents);
    }

    // The screen read writes here; the exchange keeps its own reference for the whole read, so
    // a window that closes meanwhile cannot free it under the thread. Fewer than
    // ScreenBufferSize bytes are refused (false).
    bool SetScreenBuffer(std::shared_ptr<std::vector<uint8_t>> buffer);

    // The window thread holds off store readers (save, copy, print) while this is true...
    bool StoreFilling() const { return storeFilling_.load(); }
    // ...and reads the store only under this lock, taken without waiting: the exchange thread
    // holds it while it fills the store and meanwhile waits for window hand-overs, so blocking
    // on it from the window thread would deadlock. An empty lock means "busy, try later".
    std::unique_lock<std::mutex> TryLockStore() {
        return std::unique_lock<std::mutex>(storeMutex_, std::try_to_lock);
    }

    // The gauge's parameter text (Windows-1251 bytes, at most 63) and its decoded form.
    QByteArray ParamTextBytes() const;
    QString ParamText() const;

    // The number of the last operation of this kind that ended (they are numbered from 1 as the
    // thread takes their requests).
    unsigned OperationEnds(TOperation operation) const {
        return ends_[static_cast<size_t>(operation)].load();
    }
    const TExchangeEvents& Events() const { return events_; }
    TOperation CurrentOperation() const { return operation_.load(); }

private:
    void Idle();
    void FindDevicePass();
    void ReadParam();
    void ReadCount();
    void ReadRecords();
    void ReadEEPROM();
    void ReadScreen();
    void Close();
    void Fail(int result);

    void Begin(TOperation operation);
    void End();
    void Status(const QString& key);
    void ShowProgress(int position, int& shown);
    void Link(TLinkColour colour);
    void Sleep(int ms) {
        if (sleep_)
            sleep_(ms);
    }

    TLibUSB& usb_;
    IExchangeWindow& window_;
    TExchangeEvents events_;
    TRecordStore& store_;
    Sleeper sleep_;
    TGaugeProtocol protocol_;

    std::atomic<bool> stop_{false};
    std::atomic<TOperation> operation_{TOperation::None};
    bool succeeded_ = false;
    // Per operation kind: how many were started, and the number of the last one that ended.
    std::array<std::atomic<unsigned>, 3> starts_{};
    std::array<std::atomic<unsigned>, 3> ends_{};
    std::array<std::atomic<bool>, 3> lastSucceeded_{};

    TLinkColour link_ = TLinkColour::White;
    int recordsToRead_ = 0;

    mutable std::mutex paramMutex_;
    QByteArray paramText_;

    std::mutex storeMutex_;
    std::atomic<bool> storeFilling_{false};

    std::mutex screenMutex_;
    std::shared_ptr<std::vector<uint8_t>> screenBuffer_;
};

} // namespace lum1
