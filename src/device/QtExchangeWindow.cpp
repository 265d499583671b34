#include "device/QtExchangeWindow.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>

namespace lum1 {

TQtExchangeWindow::TQtExchangeWindow(IExchangeWindow& target, std::function<bool()> stopRequested)
    : target_(target), stopRequested_(std::move(stopRequested)), windowThread_(std::this_thread::get_id()),
      wakeFd_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    notifier_ = new QSocketNotifier(wakeFd_, QSocketNotifier::Read);
    QObject::connect(notifier_, &QSocketNotifier::activated, [this] {
        uint64_t n;
        [[maybe_unused]] const ssize_t got = ::read(wakeFd_, &n, sizeof n);
        Deliver();
    });
}

TQtExchangeWindow::~TQtExchangeWindow() {
    {
        std::lock_guard lock(mutex_);
        for (auto& t : queue_)
            t->Cancelled = true;
        queue_.clear();
        cv_.notify_all();
    }
    delete notifier_;
    ::close(wakeFd_);
}

void TQtExchangeWindow::Deliver() {
    for (;;) {
        std::shared_ptr<TTask> task;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty())
                return;
            task = queue_.front();
            queue_.pop_front();
            if (task->Cancelled)
                continue;
        }
        task->Run();
        std::lock_guard lock(mutex_);
        task->Done = true;
        cv_.notify_all();
    }
}

void TQtExchangeWindow::HandOver(std::function<void()> run) {
    if (std::this_thread::get_id() == windowThread_) {
        run();
        return;
    }
    if (stopRequested_ && stopRequested_())
        return;
    auto task = std::make_shared<TTask>();
    task->Run = std::move(run);
    std::unique_lock lock(mutex_);
    queue_.push_back(task);
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t put = ::write(wakeFd_, &one, sizeof one);
    while (!task->Done && !task->Cancelled) {
        if (stopRequested_ && stopRequested_()) {
            // The window thread is closing and may never run it: give the update up.
            task->Cancelled = true;
            return;
        }
        cv_.wait_for(lock, std::chrono::milliseconds(5));
    }
}

void TQtExchangeWindow::SyncStatus(const TStatusMessage& message) {
    HandOver([this, message] { target_.SyncStatus(message); });
}
void TQtExchangeWindow::PrintErrorToStatusBar(const QString& text) {
    HandOver([this, text] { target_.PrintErrorToStatusBar(text); });
}
void TQtExchangeWindow::SyncProgressStart() {
    HandOver([this] { target_.SyncProgressStart(); });
}
void TQtExchangeWindow::SyncProgress(int position) {
    HandOver([this, position] { target_.SyncProgress(position); });
}
void TQtExchangeWindow::SyncProgressHide() {
    HandOver([this] { target_.SyncProgressHide(); });
}
void TQtExchangeWindow::SyncLink(TLinkColour colour) {
    HandOver([this, colour] { target_.SyncLink(colour); });
}
void TQtExchangeWindow::SyncDataClear() {
    HandOver([this] { target_.SyncDataClear(); });
}
void TQtExchangeWindow::SyncFillTable() {
    HandOver([this] { target_.SyncFillTable(); });
}

void ProcessWindowEvents() {
    QCoreApplication::processEvents();
}

void ProcessEventsWithoutInput() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Qt keeps the input it held back (keys, clicks and the window manager's close, which it
    // counts as input) until its event loop next handles the X connection, and on X11 that
    // happens only when something wakes the loop. Without this a close that arrived during the
    // work waited, in a program that had nothing else to do, for an event that never came.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->wakeUp();
}

} // namespace lum1
