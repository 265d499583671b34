#pragma once
// The main window's side of the device link: the exchange log, the USB access object, the
// exchange pass logic, the hand-over onto the window thread and the exchange thread, created in
// start-up order and stopped in the close order.

#include "device/ExchangeWindow.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>

namespace lum1 {

class Program;
class TExchangeLog;
class TLibUSB;
class TQtExchangeWindow;
class TUSBExchange;
class USBThread;

// The record store held by one window command (open, save, copy, print) for its whole run.
// Empty when the command must not run: a device read is filling the store, or another window
// command holds it further down the same stack (the store's mutex must never be locked twice
// by the thread that holds it).
class TStoreHold {
public:
    TStoreHold() = default;
    TStoreHold(std::unique_lock<std::mutex> lock, bool& heldByWindow);
    TStoreHold(TStoreHold&& other) noexcept;
    TStoreHold& operator=(TStoreHold&&) = delete;
    ~TStoreHold();
    bool owns_lock() const { return lock_.owns_lock(); }

private:
    std::unique_lock<std::mutex> lock_;
    bool* heldByWindow_ = nullptr;
};

class DeviceLink {
public:
    // The log is set up at once (its date header is written when the switch is on); the
    // thread starts with Start().
    DeviceLink(Program& program, const QString& libraryName = {});
    ~DeviceLink();

    // window: the main window's own updates; printError: the status line from any thread.
    void Start(IExchangeWindow& window, std::function<void(const QString&)> printError);

    TExchangeLog& Log() { return *log_; }
    TLibUSB& LibUSB() { return *usb_; }
    TUSBExchange* Exchange() { return exchange_.get(); }

    // The store for a command that reads or replaces it, held for the command's whole run; an
    // empty hold while a device read is storing records or another command holds it.
    TStoreHold LockStore();
    // The close: stop the exchange, take over the unloading after 500 ms. Then (after the
    // settings are saved) wait up to 1000 ms for the thread; false when it had to be abandoned.
    void Stop();
    bool WaitForEnd();
    // The settings are gone: the log keeps the switch it last read.
    void SettingsReleased();

private:
    Program& program_;
    std::unique_ptr<TExchangeLog> log_;
    std::unique_ptr<TLibUSB> usb_;
    std::unique_ptr<TQtExchangeWindow> handOver_;
    std::unique_ptr<TUSBExchange> exchange_;
    std::unique_ptr<USBThread> thread_;
    bool abandoned_ = false;
    bool storeHeldByWindow_ = false; // window thread only
};

} // namespace lum1
