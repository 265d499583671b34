#include "Scenario.h"

#include "DefaultGauge.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace lum1::sim {

namespace {
std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::vector<uint8_t> HexBytes(const std::string& text) {
    std::vector<uint8_t> out;
    std::istringstream in(text);
    std::string item;
    while (in >> item)
        out.push_back(static_cast<uint8_t>(std::stoul(item, nullptr, 16)));
    return out;
}

std::vector<uint8_t> LoadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    data.resize(data.size() / 90 * 90);
    return data;
}

void Apply(TSimGauge& g, const std::string& key, const std::string& value) {
    TGaugeConfig& c = g.Config;
    TGaugeFaults& f = c.Faults;
    auto num = [&value] { return std::stol(value, nullptr, 0); };
    auto i32 = [&num] { return static_cast<int>(num()); };
    auto u32 = [&value] { return static_cast<uint32_t>(std::stoul(value, nullptr, 0)); };
    if (key == "version") {
        c.Version = i32();
        c.Vendor = c.Version == 1 ? 0x03EB : 0x0483;
    } else if (key == "vendor") c.Vendor = static_cast<uint16_t>(num());
    else if (key == "product") c.Product = static_cast<uint16_t>(num());
    else if (key == "bus") g.Bus = i32();
    else if (key == "plugged") g.Plugged = num() != 0;
    else if (key == "param") c.Param = ToCp1251(value);
    else if (key == "param_bytes") {
        const auto b = HexBytes(value);
        c.Param.assign(b.begin(), b.end());
    } else if (key == "param_head") c.ParamHead = u32();
    else if (key == "records") c.Records = value.rfind("file:", 0) == 0 ? LoadFile(value.substr(5)) : MakeDefaultRecords(i32());
    else if (key == "count_head") c.CountHead = u32();
    else if (key == "count_block") c.CountBlock = HexBytes(value);
    else if (key == "screen_head") c.ScreenHead = u32();
    else if (key == "screen_blocks") c.ScreenBlocks = u32();
    else if (key == "raw_answer") c.RawAnswer = HexBytes(value);
    else if (key == "latency_us") c.LatencyUs = i32();
    else if (key == "timeout_sleep_ms") c.TimeoutSleepMs = i32();
    else if (key == "timeout_at") f.TimeoutAt = i32();
    else if (key == "short_read_at") f.ShortReadAt = i32();
    else if (key == "short_read_length") f.ShortReadLength = i32();
    else if (key == "unplug_at") f.UnplugAt = i32();
    else if (key == "replug_after_scans") f.ReplugAfterScans = i32();
    else if (key == "garbage_at") f.GarbageAt = i32();
    else if (key == "garbage_length") f.GarbageLength = i32();
    else throw std::invalid_argument("unknown key " + key);
}
} // namespace

std::vector<TSimGauge> ParseScenario(const std::string& text, std::string* error) {
    std::vector<TSimGauge> gauges;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;
        if (line == "[gauge]") {
            gauges.emplace_back();
            gauges.back().Config.Records = MakeDefaultRecords(300);
            continue;
        }
        const auto eq = line.find('=');
        if (gauges.empty()) {
            gauges.emplace_back();
            gauges.back().Config.Records = MakeDefaultRecords(300);
        }
        try {
            if (eq == std::string::npos)
                throw std::invalid_argument("no '=' in " + line);
            Apply(gauges.back(), Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
        } catch (const std::exception& e) {
            if (error && error->empty())
                *error = e.what();
        }
    }
    return gauges;
}

std::vector<TSimGauge> DefaultScenario() {
    TSimGauge g;
    g.Config.Records = MakeDefaultRecords(300);
    return {g};
}

} // namespace lum1::sim
