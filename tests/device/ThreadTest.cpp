// The exchange thread for real: its pauses, its stop, the window's close, and the Qt hand-over.
#include "DeviceFixture.h"

#include "device/QtExchangeWindow.h"
#include "device/USBThread.h"

#include <gmock/gmock.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <thread>

namespace lum1::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

class ThreadTest : public DeviceTest {
protected:
    // The simulator loaded before the thread starts, so that its scenario is in place.
    void LoadFirst(const std::string& scenario) {
        Load(scenario);
        exchange_->USBState = stLoadLibrary;
    }
    void WaitUntil(const std::function<bool()>& condition) {
        for (int i = 0; i < 20000 && !condition(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_TRUE(condition());
    }
};

TEST_F(ThreadTest, WaitingActionEndsAfterAReadOnTheThread) {
    LoadFirst("[gauge]\nrecords=20\n");
    USBThread thread(*exchange_, *usb_, {0, 50});
    int processed = 0;
    EXPECT_TRUE(exchange_->AReadExecute([&] { ++processed; }));
    EXPECT_GT(processed, 0); // the window kept processing its messages while it waited
    EXPECT_EQ(store_->RecordCount.load(), 20);
    EXPECT_THAT(window_.Events(), Contains("fill"));
}

// The close during a long read: the exchange stops between two records and the thread unloads
// the library itself; the window thread never unloads it under a running transfer.
TEST_F(ThreadTest, CloseDuringARecordReadStopsTheExchangeFirst) {
    LoadFirst("[gauge]\nrecords=2500\nlatency_us=1000\n");
    USBThread thread(*exchange_, *usb_, {0, 50});
    exchange_->Events().DataRdEvent->SetEvent();
    WaitUntil([&] { return store_->RecordCount.load() > 10; });
    EXPECT_FALSE(StopExchange(thread, *exchange_, *usb_));
    EXPECT_TRUE(WaitForExchangeEnd(thread));
    EXPECT_FALSE(usb_->IsLoaded());
    EXPECT_LT(store_->RecordCount.load(), 2500);
    const auto lines = LogLines();
    EXPECT_THAT(std::vector<std::string>(lines.end() - 5, lines.end()),
                ElementsAre("Device closed! (DeviceHandle=NULL)", "--------------", "LibUsb close...", "LibUsb closed!",
                            "============================="));
}

TEST_F(ThreadTest, CloseWhileATransferHangsLeavesTheLibraryToTheThread) {
    // Transfer 9 (the first record) keeps the thread inside libusb for 1.2 s before it times out.
    LoadFirst("[gauge]\nrecords=5\ntimeout_at=9\ntimeout_sleep_ms=1200\n");
    USBThread thread(*exchange_, *usb_, {0, 50});
    std::atomic<bool> firstRecord{false};
    window_.SetOnEvent([&](const std::string& e) { firstRecord = firstRecord || e == "progress:0"; });
    exchange_->Events().DataRdEvent->SetEvent();
    WaitUntil([&] { return firstRecord.load(); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // inside the hanging transfer
    EXPECT_FALSE(StopExchange(thread, *exchange_, *usb_)); // still inside the transfer after 500 ms
    EXPECT_TRUE(WaitForExchangeEnd(thread));               // done 1.2 s in, within the 1000 ms that follow
    EXPECT_FALSE(usb_->IsLoaded());
    const auto lines = LogLines();
    const auto timeout = std::find(lines.begin(), lines.end(), "LibUsb ReadData(), 90 byte(s), ERROR LibUsb: Тайм-аут");
    const auto unload = std::find(lines.begin(), lines.end(), "LibUsb close...");
    EXPECT_LT(timeout, unload);
}

// The hand-over onto the window thread: delivered in order through the event loop, and never
// waited for once the close has begun, even when the window thread processes nothing.
TEST(QtExchangeWindowTest, HandsOverInOrderAndGivesUpAtStop) {
    RecordingWindow target;
    std::atomic<bool> stop{false};
    TQtExchangeWindow window(target, [&] { return stop.load(); });
    std::atomic<bool> done{false};
    std::thread exchange([&] {
        window.SyncProgressStart();
        window.SyncProgress(500);
        window.SyncStatus(TStatusMessage::OfText("LibUsb: Тайм-аут"));
        window.SyncLink(TLinkColour::Red);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    exchange.join();
    EXPECT_THAT(target.Events(), ElementsAre("progress:start", "progress:500", "status:LibUsb: Тайм-аут", "link:red"));

    std::thread late([&] { window.SyncFillTable(); }); // nobody delivers it...
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop = true; // ...and the close lets the thread go without it
    late.join();
    EXPECT_EQ(target.Events().size(), 4u);
}

} // namespace
} // namespace lum1::test
