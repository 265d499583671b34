#include "device/GaugeProtocol.h"

#include "device/LibUSB.h"

#include <algorithm>
#include <cstring>

namespace lum1 {

namespace {
uint32_t U32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
} // namespace

int TGaugeProtocol::Request(TRequest request) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(request), static_cast<uint8_t>(static_cast<uint8_t>(request) ^ 0xFF)};
    const int r = usb_.WriteData(bytes, 2);
    return r < 0 ? r : ExchangeDone;
}

int TGaugeProtocol::ReqParam(char (&paramText)[ParamTextSize]) {
    if (const int r = Request(TRequest::ReqParam); r < 0)
        return r;
    auto* text = reinterpret_cast<uint8_t*>(paramText);
    // A short head read must not leave an earlier text's bytes as the length.
    std::memset(text, 0, 4);
    int r = usb_.ReadData(text, 4);
    if (r < 0)
        return r;
    uint32_t length = std::min<uint32_t>(U32(text), ParamTextSize - 1);
    // A zero-length bulk read would wait for the gauge's next packet: an empty text needs none.
    if (length > 0) {
        r = usb_.ReadData(text, static_cast<int>(length));
        if (r < 0)
            return r;
        length = std::min<uint32_t>(length, static_cast<uint32_t>(r));
    }
    for (uint32_t i = 0; i < length; ++i)
        if (text[i] == 0)
            text[i] = ' ';
    text[length] = 0;
    return ExchangeDone;
}

TCountResult TGaugeProtocol::ReqCount(bool deviceV2) {
    TCountResult result;
    if (const int r = Request(TRequest::ReqCount); r < 0) {
        result.Result = r;
        return result;
    }
    std::memset(rx_, 0, 4);
    int r = usb_.ReadData(rx_, 4);
    if (r < 0) {
        result.Result = r;
        return result;
    }
    if (U32(rx_) != 4) {
        result.Outcome = TCountOutcome::BadHead;
        result.Result = r;
        return result;
    }
    std::memset(rx_, 0, 4);
    r = usb_.ReadData(rx_, 4);
    if (r < 0) {
        result.Result = r;
        return result;
    }
    const int n = rx_[2] | rx_[3] << 8;
    result.Records = n;
    if (rx_[0] != 1 || rx_[1] != RecordSize)
        result.Outcome = TCountOutcome::BadFormat;
    else if (n > ArchiveSize(deviceV2))
        result.Outcome = TCountOutcome::TooManyRecords;
    else if (n == 0)
        result.Outcome = TCountOutcome::NoRecords;
    else
        result.Outcome = TCountOutcome::Accepted;
    return result;
}

int TGaugeProtocol::ReqRecords(int n, TRecordStore& store, const std::function<bool(int)>& beforeRecord) {
    // The store never takes more than it holds, whatever count reached this point.
    n = std::clamp(n, 0, MaxRecords);
    if (const int r = Request(TRequest::ReqRecords); r < 0)
        return r;
    if (const int r = usb_.ReadData(rx_, 4); r < 0)
        return r;
    store.RecordCount.store(0);
    for (int i = 0; i < n; ++i) {
        if (beforeRecord && !beforeRecord(i))
            return ExchangeStopped;
        const int r = usb_.ReadData(rx_, RecordSize);
        if (r < 0)
            return r;
        std::memcpy(&store.Records[static_cast<size_t>(i)], rx_, RecordSize);
        if (store.Records[static_cast<size_t>(i)].AverNum == 0)
            store.Records[static_cast<size_t>(i)].AverNum = 1;
        store.RecordCount.store(i + 1);
    }
    return ExchangeDone;
}

int TGaugeProtocol::ReqScreen(uint8_t* buffer, std::atomic<bool>& deviceV2, const std::function<void()>& badHead,
                              const std::function<bool(int, int)>& afterBlock) {
    if (const int r = Request(TRequest::ReqScreen); r < 0)
        return r;
    std::memset(buffer, 0, 4);
    if (const int r = usb_.ReadData(buffer, 4); r < 0)
        return r;
    int blocks = static_cast<int>(std::min<uint32_t>(U32(buffer), 0x7FFFFFFF));
    if (blocks == ScreenBlocksV1) {
        deviceV2.store(false);
    } else if (blocks == ScreenBlocksV2) {
        deviceV2.store(true);
    } else {
        if (badHead)
            badHead();
        blocks = ScreenBlocksV2;
    }
    for (int i = 0; i < blocks; ++i) {
        const int r = usb_.ReadData(buffer + static_cast<size_t>(i) * ScreenBlockSize, ScreenBlockSize);
        if (r < 0)
            return r;
        if (afterBlock && !afterBlock(i, blocks))
            return ExchangeStopped;
    }
    return ExchangeDone;
}

int TGaugeProtocol::Drain(int limit) {
    int drained = 0;
    uint8_t byte = 0;
    while (drained < limit && usb_.ReadData(&byte, 1) == 1)
        ++drained;
    return drained;
}

} // namespace lum1
