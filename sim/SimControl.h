#pragma once
// Extra entry points of the simulator library, for tests (looked up with dlsym on the loaded
// library). Not part of libusb.

#define LUM1SIM_SCENARIO_ENV "LUM1_SIM_SCENARIO"

extern "C" {
// Replaces the simulated gauges by those of a scenario text and clears the trace; -1 when the
// text had an error (the rest of it still applies).
int lum1sim_load_scenario(const char* text);
// Every libusb call so far, one line each; returns the full length (buffer gets up to size-1).
int lum1sim_trace(char* buffer, int size);
void lum1sim_clear_trace(void);
void lum1sim_set_plugged(int gauge, int plugged);
}
