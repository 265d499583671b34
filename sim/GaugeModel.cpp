#include "GaugeModel.h"

#include "DefaultGauge.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace lum1::sim {

namespace {
void Pause(int us) {
    if (us > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(us));
}
} // namespace

TGaugeModel::TGaugeModel(TGaugeConfig config) : config_(std::move(config)) {
    if (config_.Screen.empty())
        config_.Screen = MakeScreenPicture(config_.Version);
}

void TGaugeModel::SetPlugged(bool plugged) {
    plugged_ = plugged;
    scansSinceUnplug_ = 0;
    if (!plugged)
        pending_.clear();
}

void TGaugeModel::Scan() {
    if (plugged_ || config_.Faults.ReplugAfterScans < 0)
        return;
    if (++scansSinceUnplug_ > config_.Faults.ReplugAfterScans)
        SetPlugged(true);
}

int TGaugeModel::StartTransfer() {
    const int k = ++transfers_;
    Pause(config_.LatencyUs);
    if (config_.Faults.UnplugAt && k == config_.Faults.UnplugAt)
        SetPlugged(false);
    return plugged_ ? k : 0;
}

int TGaugeModel::Write(int endpoint, const uint8_t* data, int length) {
    const int k = StartTransfer();
    if (k == 0)
        return ResultNoDevice;
    const TGaugeFaults& f = config_.Faults;
    if (k == f.TimeoutAt) {
        Pause(config_.TimeoutSleepMs * 1000);
        return ResultTimeout;
    }
    if (endpoint != 0x01 || length < 0)
        return -22; // -EINVAL
    if (length == 2 && data[1] == static_cast<uint8_t>(data[0] ^ 0xFF)) {
        if (k == f.GarbageAt)
            PushNoise(static_cast<size_t>(f.GarbageLength));
        else
            Answer(data[0]);
    }
    return length;
}

int TGaugeModel::Read(int endpoint, uint8_t* data, int length) {
    const int k = StartTransfer();
    if (k == 0)
        return ResultNoDevice;
    const TGaugeFaults& f = config_.Faults;
    if (endpoint != 0x82 || length < 0)
        return -22;
    if (k == f.TimeoutAt || pending_.empty()) {
        if (f.SilentAfterTimeout || pending_.empty())
            pending_.clear();
        Pause(config_.TimeoutSleepMs * 1000);
        return ResultTimeout;
    }
    size_t n = std::min(pending_.size(), static_cast<size_t>(length));
    size_t dropped = 0;
    if (k == f.ShortReadAt && static_cast<size_t>(f.ShortReadLength) < n) {
        dropped = n - static_cast<size_t>(f.ShortReadLength);
        n = static_cast<size_t>(f.ShortReadLength);
    }
    std::copy_n(pending_.begin(), n, data);
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(n + dropped));
    return static_cast<int>(n);
}

void TGaugeModel::Push(const uint8_t* p, size_t n) { pending_.insert(pending_.end(), p, p + n); }

void TGaugeModel::PushU32(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Push(b, 4);
}

void TGaugeModel::PushNoise(size_t n) {
    for (size_t i = 0; i < n; ++i) {
        noise_ ^= noise_ << 13;
        noise_ ^= noise_ >> 17;
        noise_ ^= noise_ << 5;
        pending_.push_back(static_cast<uint8_t>(noise_));
    }
}

void TGaugeModel::Answer(uint8_t code) {
    if (config_.RawAnswer) {
        Push(config_.RawAnswer->data(), config_.RawAnswer->size());
        return;
    }
    switch (code) {
    case 0x01: {
        const std::string& p = config_.Param;
        PushU32(config_.ParamHead.value_or(static_cast<uint32_t>(p.size())));
        Push(reinterpret_cast<const uint8_t*>(p.data()), p.size());
        break;
    }
    case 0x02: {
        PushU32(config_.CountHead.value_or(4));
        if (config_.CountBlock) {
            Push(config_.CountBlock->data(), config_.CountBlock->size());
        } else {
            const size_t n = config_.Records.size() / 90;
            const uint8_t block[4] = {1, 90, uint8_t(n), uint8_t(n >> 8)};
            Push(block, 4);
        }
        break;
    }
    case 0x03:
        PushU32(static_cast<uint32_t>(config_.Records.size() / 90));
        Push(config_.Records.data(), config_.Records.size());
        break;
    case 0x05: {
        const uint32_t natural = config_.Version == 1 ? 9600u : 18000u;
        PushU32(config_.ScreenHead.value_or(natural));
        const size_t bytes = std::min<size_t>(config_.ScreenBlocks.value_or(natural) * 64u, 18000u * 64u);
        std::vector<uint8_t> image(bytes, 0);
        std::copy_n(config_.Screen.begin(), std::min(bytes, config_.Screen.size()), image.begin());
        Push(image.data(), image.size());
        break;
    }
    default:
        break; // the gauge ignores requests it does not know, 0x04 included
    }
}

} // namespace lum1::sim
