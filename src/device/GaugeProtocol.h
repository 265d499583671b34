#pragma once
// What goes over the wire: the gauge's four request/answer exchanges, every check of the
// answers, and where the received bytes are put. Transfers go through TLibUSB.

#include "results/MeasRecord.h"

#include <atomic>
#include <cstdint>
#include <functional>

namespace lum1 {

class TLibUSB;

enum class TRequest : uint8_t { ReqParam = 0x01, ReqCount = 0x02, ReqRecords = 0x03, ReqEEPROM = 0x04, ReqScreen = 0x05 };

constexpr int ParamTextSize = 64;
constexpr int ScreenBlockSize = 64;
constexpr int ScreenBlocksV1 = 9600;
constexpr int ScreenBlocksV2 = 18000;
constexpr int ScreenBufferSize = ScreenBlocksV2 * ScreenBlockSize; // 1,152,000

// Exchange results: 0 done, negative a libusb transfer failure, Stopped when the caller's
// callback asked to stop between two transfers.
constexpr int ExchangeDone = 0;
constexpr int ExchangeStopped = 1;

enum class TCountOutcome { Accepted, BadFormat, TooManyRecords, NoRecords, BadHead, TransferFailed };

struct TCountResult {
    TCountOutcome Outcome = TCountOutcome::TransferFailed;
    int Records = 0;
    int Result = 0; // BadHead: the head read's result; TransferFailed: the failing result
};

inline int ArchiveSize(bool deviceV2) { return deviceV2 ? 2500 : 1000; }

class TGaugeProtocol {
public:
    explicit TGaugeProtocol(TLibUSB& usb) : usb_(usb) {}

    // paramText receives at most 63 characters and a terminating zero.
    int ReqParam(char (&paramText)[ParamTextSize]);
    TCountResult ReqCount(bool deviceV2);
    // beforeRecord(i) runs before record i is read; false stops the exchange.
    int ReqRecords(int n, TRecordStore& store, const std::function<bool(int)>& beforeRecord);
    // buffer holds ScreenBufferSize bytes. badHead() runs when the head is neither 9600 nor
    // 18000; afterBlock(i, blocks) after each block, false stops the exchange.
    int ReqScreen(uint8_t* buffer, std::atomic<bool>& deviceV2, const std::function<void()>& badHead,
                  const std::function<bool(int, int)>& afterBlock);
    // Throws away what the gauge still has to send after a failed exchange: one-byte reads
    // until one does not return exactly one byte. Returns the number of bytes thrown away.
    int Drain(int limit = 2 * ScreenBufferSize);

private:
    int Request(TRequest request);

    TLibUSB& usb_;
    // The receive buffer of the answers' heads and records. A short record read leaves the
    // rest as the earlier answers left it, as the gauge's own program expects.
    uint8_t rx_[RecordSize] = {};
};

} // namespace lum1
