#pragma once
// Scenario text of the simulator: gauges and faults, one "key = value" per line, '#' comments,
// each "[gauge]" line starting a new gauge. Keys: version, vendor, product, bus, plugged,
// param, param_bytes (hex), param_head, records (a count of generated records, or file:<path> of a .lum1 file),
// count_head, count_block, screen_head, screen_blocks, raw_answer (hex bytes), latency_us,
// timeout_sleep_ms, timeout_at, short_read_at, short_read_length, unplug_at,
// replug_after_scans, garbage_at, garbage_length.

#include "GaugeModel.h"

#include <string>
#include <vector>

namespace lum1::sim {

struct TSimGauge {
    TGaugeConfig Config;
    int Bus = 1;
    bool Plugged = true;
};

// Unknown keys and bad values are reported in error (first problem only) and skipped.
std::vector<TSimGauge> ParseScenario(const std::string& text, std::string* error = nullptr);

// With no scenario: one version-2 gauge with a realistic archive of 300 records.
std::vector<TSimGauge> DefaultScenario();

} // namespace lum1::sim
