#include "app/DeviceLink.h"

#include "app/Program.h"
#include "device/LibUSB.h"
#include "device/QtExchangeWindow.h"
#include "device/USBExchange.h"
#include "device/USBThread.h"
#include "diag/ExchangeLog.h"

#include <thread>
#include <utility>

namespace lum1 {

DeviceLink::DeviceLink(Program& program, const QString& libraryName) : program_(program) {
    log_ = std::make_unique<TExchangeLog>(program.LogFilePath, [&program] {
        return program.SettingsIni &&
               program.SettingsIni->ReadBool(QStringLiteral("Debug"), QStringLiteral("LogUSB"), false);
    });
    log_->LogBegin();
    usb_ = libraryName.isEmpty() ? std::make_unique<TLibUSB>(log_.get())
                                 : std::make_unique<TLibUSB>(log_.get(), libraryName.toStdString());
}

DeviceLink::~DeviceLink() {
    // An abandoned thread may still use everything here: leave it all to the process's end.
    if (abandoned_) {
        (void)thread_.release();
        (void)exchange_.release();
        (void)handOver_.release();
        (void)usb_.release();
        (void)log_.release();
    }
}

void DeviceLink::Start(IExchangeWindow& window, std::function<void(const QString&)> printError) {
    usb_->SetPrintError(std::move(printError));
    usb_->SetEnglishUI([this] { return program_.Language.EnglishUI(); });
    handOver_ = std::make_unique<TQtExchangeWindow>(
        window, [this] { return exchange_ && exchange_->StopRequested(); });
    exchange_ = std::make_unique<TUSBExchange>(
        *usb_, *handOver_, program_.ExchangeEvents, program_.Store,
        [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); });
    thread_ = std::make_unique<USBThread>(*exchange_, *usb_);
}

TStoreHold::TStoreHold(std::unique_lock<std::mutex> lock, bool& heldByWindow) : lock_(std::move(lock)) {
    if (lock_.owns_lock()) {
        heldByWindow_ = &heldByWindow;
        heldByWindow = true;
    }
}

TStoreHold::TStoreHold(TStoreHold&& other) noexcept
    : lock_(std::move(other.lock_)), heldByWindow_(std::exchange(other.heldByWindow_, nullptr)) {}

TStoreHold::~TStoreHold() {
    if (heldByWindow_)
        *heldByWindow_ = false;
}

TStoreHold DeviceLink::LockStore() {
    if (storeHeldByWindow_)
        return {};
    static std::mutex unused; // before the exchange exists nothing else touches the store
    if (!exchange_)
        return TStoreHold(std::unique_lock<std::mutex>(unused), storeHeldByWindow_);
    return TStoreHold(exchange_->TryLockStore(), storeHeldByWindow_);
}

void DeviceLink::Stop() {
    if (thread_)
        StopExchange(*thread_, *exchange_, *usb_);
}

bool DeviceLink::WaitForEnd() {
    if (!thread_)
        return true;
    abandoned_ = !WaitForExchangeEnd(*thread_);
    return !abandoned_;
}

void DeviceLink::SettingsReleased() {
    log_->DetachSwitch();
}

} // namespace lum1
