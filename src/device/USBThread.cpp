#include "device/USBThread.h"

#include "device/LibUSB.h"
#include "device/USBExchange.h"

namespace lum1 {

USBThread::USBThread(TUSBExchange& exchange, TLibUSB& usb, TTiming timing)
    : exchange_(exchange), usb_(usb), timing_(timing), thread_([this] { Execute(); }) {}

USBThread::~USBThread() {
    if (thread_.joinable()) {
        Terminate();
        thread_.join();
    }
}

bool USBThread::Pause(int ms) {
    std::unique_lock lock(mutex_);
    return !cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return terminated_; });
}

void USBThread::Execute() {
    if (Pause(timing_.StartDelayMs)) {
        exchange_.USBState.store(stLoadLibrary);
        while (Pause(timing_.PassPauseMs))
            exchange_.Pass();
    }
    usb_.CloseDevice();
    usb_.CloseLibrary();
    std::lock_guard lock(mutex_);
    finished_ = true;
    cv_.notify_all();
}

void USBThread::Terminate() {
    exchange_.RequestStop();
    std::lock_guard lock(mutex_);
    terminated_ = true;
    cv_.notify_all();
}

bool USBThread::WaitFor(int timeoutMs) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return finished_; });
}

bool USBThread::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

void USBThread::Abandon() {
    if (thread_.joinable())
        thread_.detach();
}

bool StopExchange(USBThread& thread, TUSBExchange& exchange, TLibUSB& usb, int graceMs) {
    exchange.RequestStop();
    thread.Terminate();
    const auto t0 = std::chrono::steady_clock::now();
    while (usb.IsLoaded()) {
        if (std::chrono::steady_clock::now() - t0 > std::chrono::milliseconds(graceMs))
            return usb.CloseLibraryIfIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

bool WaitForExchangeEnd(USBThread& thread, int timeoutMs) {
    if (thread.WaitFor(timeoutMs))
        return true;
    thread.Abandon();
    return false;
}

} // namespace lum1
