#pragma once
// The program's IExchangeWindow: each update of the exchange thread is handed to the window
// thread and waited for (the original's Synchronize). The hand-over goes through our own queue
// and an eventfd watched by the window thread's event loop, so no Qt object crosses threads.
// Once a stop has been requested the exchange thread no longer waits for a hand-over: a window
// thread that is closing and waiting for the exchange thread can never deadlock with it.

#include "device/ExchangeWindow.h"

#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QSocketNotifier;

namespace lum1 {

class TQtExchangeWindow : public IExchangeWindow {
public:
    // target: the window's own implementation, called on the thread that constructs this
    // object. stopRequested: true once the close has begun.
    TQtExchangeWindow(IExchangeWindow& target, std::function<bool()> stopRequested);
    ~TQtExchangeWindow() override;
    TQtExchangeWindow(const TQtExchangeWindow&) = delete;
    TQtExchangeWindow& operator=(const TQtExchangeWindow&) = delete;

    void SyncStatus(const TStatusMessage& message) override;
    void PrintErrorToStatusBar(const QString& text) override;
    void SyncProgressStart() override;
    void SyncProgress(int position) override;
    void SyncProgressHide() override;
    void SyncLink(TLinkColour colour) override;
    void SyncDataClear() override;
    void SyncFillTable() override;

    // Runs the hand-overs that are waiting; the event loop calls it, a window thread that waits
    // without an event loop may call it too.
    void Deliver();

private:
    struct TTask {
        std::function<void()> Run;
        bool Done = false;
        bool Cancelled = false;
    };
    void HandOver(std::function<void()> run);

    IExchangeWindow& target_;
    std::function<bool()> stopRequested_;
    std::thread::id windowThread_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::shared_ptr<TTask>> queue_;
    int wakeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

// The window thread's "process pending messages" for the waiting actions.
void ProcessWindowEvents();
// The same for work that must not be interrupted by a command (a status update, the table
// fill, a file being read or written): the window repaints and hand-overs are delivered, but
// keys and mouse clicks wait until the work is done. A command run from inside such work could
// wait for something held further down the same stack: a read started inside a hand-over waits
// for the exchange thread, which waits for that very hand-over.
void ProcessEventsWithoutInput();

} // namespace lum1
