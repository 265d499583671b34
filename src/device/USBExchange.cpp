#include "device/USBExchange.h"

#include "device/LibUSB.h"
#include "platform/Cp1251.h"
#include "platform/NamedEvent.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace lum1 {

TExchangeEvents TExchangeEvents::Create(const TEventNamespace& names) {
    TExchangeEvents e;
    e.DataRdEvent = names.CreateNamedEvent("DataRdEvent", false);
    e.DataReadedEvent = names.CreateNamedEvent("DataReadedEvent ", false);
    e.EEPROMRdEvent = names.CreateNamedEvent("EEPROMRdEvent ", false);
    e.EEPROMReadedEvent = names.CreateNamedEvent("EEPROMReadedEvent=", false);
    e.ScreenRdEvent = names.CreateNamedEvent("ScreenRdEvent ", false);
    e.ScrReadedEvent = names.CreateNamedEvent("ScrReadedEvent ", false);
    return e;
}

TUSBExchange::TUSBExchange(TLibUSB& usb, IExchangeWindow& window, TExchangeEvents events, TRecordStore& store,
                           Sleeper sleep)
    : usb_(usb), window_(window), events_(std::move(events)), store_(store), sleep_(std::move(sleep)),
      protocol_(usb) {
    usb_.SetPrintError([this](const QString& text) { window_.PrintErrorToStatusBar(text); });
}

void TUSBExchange::Pass() {
    switch (USBState.load()) {
    case stLoadLibrary:
        if (usb_.Initialize() == 0)
            USBState.store(stIdle);
        break;
    case stIdle:
        Idle();
        break;
    case stFindDevice:
        FindDevicePass();
        break;
    case stReadParam:
        ReadParam();
        break;
    case stReadCount:
        ReadCount();
        break;
    case stReadRecords:
        ReadRecords();
        break;
    case stReadEEPROM:
        ReadEEPROM();
        break;
    case stReadScreen:
        ReadScreen();
        break;
    case stClose:
        Close();
        break;
    default:
        USBState.store(stIdle);
        break;
    }
}

void TUSBExchange::Begin(TOperation operation) {
    succeeded_ = false;
    starts_[static_cast<size_t>(operation)].fetch_add(1);
    operation_.store(operation);
}

// Every end of an operation, successful or not, is recorded: a waiting action learns from it
// that its operation is over even when no completion event comes.
void TUSBExchange::End() {
    const TOperation op = operation_.exchange(TOperation::None);
    if (USBState.load() != stIdle)
        USBState.store(stIdle);
    if (op == TOperation::None)
        return;
    const auto k = static_cast<size_t>(op);
    lastSucceeded_[k].store(succeeded_);
    ends_[k].store(starts_[k].load());
}

void TUSBExchange::Status(const QString& key) {
    TStatusMessage m = TStatusMessage::OfKey(key);
    if (key == u"USBNoRecords" || key == u"USBDataReaded") {
        m.ParamText = ParamText();
        m.RecordCount = store_.RecordCount.load();
    }
    window_.SyncStatus(m);
}

void TUSBExchange::Link(TLinkColour colour) {
    // A red link stays visible for a moment, however soon the next colour follows.
    if (link_ == TLinkColour::Red)
        Sleep(20);
    link_ = colour;
    window_.SyncLink(colour);
}

void TUSBExchange::Idle() {
    // The screen window gave up its read by writing stIdle.
    if (operation_.load() != TOperation::None)
        End();
    if (events_.DataRdEvent->WaitFor(5)) {
        Begin(TOperation::DataRead);
        USBState.store(stFindDevice);
    } else if (events_.ScreenRdEvent->WaitFor(5)) {
        Begin(TOperation::ScreenRead);
        USBState.store(stReadScreen);
    } else if (events_.EEPROMRdEvent->WaitFor(5)) {
        Begin(TOperation::EEPROM);
        USBState.store(stReadEEPROM);
    }
}

void TUSBExchange::FindDevicePass() {
    if (usb_.FindDevice() != 0)
        return; // searched again on the next pass
    USBState.store(stReadParam);
    Link(TLinkColour::Green);
}

void TUSBExchange::ReadParam() {
    window_.SyncProgressStart();
    Link(TLinkColour::Green);
    char text[ParamTextSize] = {};
    if (const int r = protocol_.ReqParam(text); r < 0)
        return Fail(r);
    {
        std::lock_guard lock(paramMutex_);
        paramText_ = QByteArray(text, static_cast<qsizetype>(std::strlen(text)));
    }
    USBState.store(stReadCount);
    Status("USBRdParam");
}

void TUSBExchange::ReadCount() {
    window_.SyncDataClear();
    const TCountResult c = protocol_.ReqCount(usb_.DeviceV2.load());
    switch (c.Outcome) {
    case TCountOutcome::Accepted:
        recordsToRead_ = c.Records;
        USBState.store(stReadRecords);
        Status("USBRdResult");
        break;
    case TCountOutcome::BadFormat:
        Status("USBBadFormat");
        USBState.store(stClose);
        break;
    case TCountOutcome::TooManyRecords:
        Status("USBTooManyRecords");
        USBState.store(stClose);
        break;
    case TCountOutcome::NoRecords:
        Status("USBNoRecords");
        USBState.store(stClose);
        break;
    case TCountOutcome::BadHead:
        Status("USBBadFormat");
        Fail(c.Result);
        break;
    case TCountOutcome::TransferFailed:
        Fail(c.Result);
        break;
    }
}

void TUSBExchange::ReadRecords() {
    Link(TLinkColour::Green);
    const int n = recordsToRead_;
    int r;
    {
        // A window command that reads or replaces the store (an open, a save, a copy) may hold
        // it; it never waits for this thread, so the store comes free, but a close must not
        // have to wait for it.
        std::unique_lock lock(storeMutex_, std::try_to_lock);
        while (!lock.owns_lock()) {
            if (stop_.load())
                return End();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            lock.try_lock();
        }
        storeFilling_.store(true);
        int shown = -1;
        r = protocol_.ReqRecords(n, store_, [this, n, &shown](int i) {
            if (stop_.load())
                return false;
            ShowProgress(i * 1000 / n, shown);
            return true;
        });
        storeFilling_.store(false);
    }
    if (r == ExchangeStopped)
        return End();
    if (r < 0)
        return Fail(r);
    window_.SyncFillTable();
    Status("USBDataReaded");
    succeeded_ = true;
    events_.DataReadedEvent->SetEvent();
    USBState.store(stClose);
}

void TUSBExchange::ReadEEPROM() {
    USBState.store(stIdle);
    Link(TLinkColour::Grey);
    window_.SyncProgressHide();
    Status("USBEEPROMReaded");
    succeeded_ = true;
    events_.EEPROMReadedEvent->SetEvent();
    End();
}

void TUSBExchange::ReadScreen() {
    if (usb_.FindDevice() != 0) {
        Sleep(100);
        return;
    }
    window_.SyncProgressStart();
    Status("USBScrRead");
    Link(TLinkColour::Green);
    std::shared_ptr<std::vector<uint8_t>> buffer;
    {
        std::lock_guard lock(screenMutex_);
        if (!screenBuffer_)
            screenBuffer_ = std::make_shared<std::vector<uint8_t>>(ScreenBufferSize);
        buffer = screenBuffer_;
    }
    int shown = -1;
    const int r = protocol_.ReqScreen(
        buffer->data(), usb_.DeviceV2, [this] { Status("USBErrScreenLen"); },
        [this, &shown](int i, int blocks) {
            if (stop_.load())
                return false;
            ShowProgress(i * 1000 / blocks, shown);
            return true;
        });
    if (r == ExchangeStopped)
        return End();
    if (r < 0)
        return Fail(r);
    // The message that the picture is in the file and on the clipboard is the window's: only
    // it knows whether both were written.
    succeeded_ = true;
    events_.ScrReadedEvent->SetEvent();
    USBState.store(stClose);
    Link(TLinkColour::Grey);
}

// Each hand-over waits for the window thread; a value the bar already shows needs none. The
// 18000 blocks of a screen read would otherwise cost 18000 hand-overs for 1000 positions.
void TUSBExchange::ShowProgress(int position, int& shown) {
    if (position == shown)
        return;
    shown = position;
    window_.SyncProgress(position);
}

void TUSBExchange::Close() {
    usb_.CloseDevice();
    window_.SyncProgressHide();
    Link(TLinkColour::Grey);
    End();
}

void TUSBExchange::Fail(int result) {
    window_.SyncStatus(TStatusMessage::OfText(TLibUSB::ErrorText(result)));
    Link(TLinkColour::Red);
    // At close the gauge is let go at once: draining a silent gauge costs a time-out per read.
    if (!stop_.load()) {
        protocol_.Drain();
        Sleep(100);
    }
    window_.SyncProgressHide();
    USBState.store(stIdle);
    usb_.CloseDevice();
    End();
}

bool TUSBExchange::SetScreenBuffer(std::shared_ptr<std::vector<uint8_t>> buffer) {
    if (!buffer || buffer->size() < static_cast<size_t>(ScreenBufferSize))
        return false;
    std::lock_guard lock(screenMutex_);
    screenBuffer_ = std::move(buffer);
    return true;
}

QByteArray TUSBExchange::ParamTextBytes() const {
    std::lock_guard lock(paramMutex_);
    return paramText_;
}

QString TUSBExchange::ParamText() const {
    return DecodeCp1251(ParamTextBytes());
}

bool TUSBExchange::WithdrawRequest(TOperation operation) {
    switch (operation) {
    case TOperation::DataRead:
        return events_.DataRdEvent->WaitFor(0);
    case TOperation::ScreenRead:
        return events_.ScreenRdEvent->WaitFor(0);
    case TOperation::EEPROM:
        return events_.EEPROMRdEvent->WaitFor(0);
    case TOperation::None:
        break;
    }
    return false;
}

bool TUSBExchange::RunAndWait(TOperation operation, const std::function<void()>& processEvents,
                              const std::function<bool()>& giveUp) {
    const size_t k = static_cast<size_t>(operation);
    TNamedEvent* request = nullptr;
    TNamedEvent* completion = nullptr;
    switch (operation) {
    case TOperation::DataRead:
        request = events_.DataRdEvent.get();
        completion = events_.DataReadedEvent.get();
        break;
    case TOperation::ScreenRead:
        request = events_.ScreenRdEvent.get();
        completion = events_.ScrReadedEvent.get();
        break;
    case TOperation::EEPROM:
        request = events_.EEPROMRdEvent.get();
        completion = events_.EEPROMReadedEvent.get();
        break;
    case TOperation::None:
        return false;
    }
    // Only an operation taken up after this request can end this wait: one that is finishing
    // right now (its completion already signalled, its close still to come) must not.
    const unsigned startedBefore = starts_[k].load();
    // A completion left over from a wait that was given up must not end this one at once.
    completion->WaitFor(0);
    request->SetEvent();
    for (;;) {
        if (completion->WaitFor(1))
            return true;
        if (ends_[k].load() > startedBefore) {
            completion->WaitFor(0); // the signal of this very end, if no inner wait took it
            return lastSucceeded_[k].load();
        }
        if (stop_.load() || (giveUp && giveUp()))
            return false;
        if (processEvents)
            processEvents();
    }
}

} // namespace lum1
