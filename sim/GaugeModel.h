#pragma once
// A simulated LUM-1 gauge: answers the four requests byte for byte as the real gauge does and
// injects the link faults that the program must survive. Plain C++ so that tests and the fuzz
// target can drive it directly; the drop-in libusb library puts it behind the C API.

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace lum1::sim {

// Linux libusb-0.1 results: negated errno values.
constexpr int ResultTimeout = -110; // -ETIMEDOUT
constexpr int ResultNoDevice = -19; // -ENODEV

struct TGaugeFaults {
    int TimeoutAt = 0;        // 1-based transfer number that times out (0: none)
    int ShortReadAt = 0;      // transfer that delivers only ShortReadLength bytes
    int ShortReadLength = 0;
    int UnplugAt = 0;         // from this transfer on the gauge is gone
    int ReplugAfterScans = -1; // after this many device scans an unplugged gauge is back (-1: never)
    int GarbageAt = 0;        // the answer to the request written at this transfer is noise
    int GarbageLength = 64;
    bool SilentAfterTimeout = true; // a time-out drops whatever the gauge still had to send
};

struct TGaugeConfig {
    int Version = 2;
    uint16_t Vendor = 0x0483;
    uint16_t Product = 0x0131;
    std::string Param = "LUM-1.2 SN 20417";
    std::vector<uint8_t> Records; // multiple of 90 bytes
    std::vector<uint8_t> Screen;  // empty: a generated picture of the version's size
    // Overrides of what the gauge sends, for malformed answers.
    std::optional<uint32_t> ParamHead;
    std::optional<uint32_t> CountHead;
    std::optional<std::vector<uint8_t>> CountBlock;
    std::optional<uint32_t> ScreenHead;
    std::optional<uint32_t> ScreenBlocks; // blocks actually sent (default: per version)
    std::optional<std::vector<uint8_t>> RawAnswer; // every request is answered with these bytes
    int LatencyUs = 0;   // per transfer
    int TimeoutSleepMs = 0; // how long a time-out keeps the caller waiting
    TGaugeFaults Faults;
};

class TGaugeModel {
public:
    explicit TGaugeModel(TGaugeConfig config);

    const TGaugeConfig& Config() const { return config_; }
    bool Plugged() const { return plugged_; }
    void SetPlugged(bool plugged);
    // A device scan of the host; counts towards a scheduled replug.
    void Scan();

    // Bulk transfers as the libusb-0.1 calls return them.
    int Write(int endpoint, const uint8_t* data, int length);
    int Read(int endpoint, uint8_t* data, int length);

    int Transfers() const { return transfers_; }
    size_t Pending() const { return pending_.size(); }

private:
    // Counts the transfer, waits the link latency and applies an unplug due now: the transfer's
    // number (from 1), or 0 when the gauge is not plugged in.
    int StartTransfer();
    void Answer(uint8_t code);
    void Push(const uint8_t* p, size_t n);
    void PushU32(uint32_t v);
    void PushNoise(size_t n);

    TGaugeConfig config_;
    bool plugged_ = true;
    int transfers_ = 0;
    int scansSinceUnplug_ = 0;
    uint32_t noise_ = 0x2545F491u;
    std::deque<uint8_t> pending_;
};

} // namespace lum1::sim
