// Request to completion through the simulator with no link latency. The exchange thread's own
// pauses (a 50 ms pause before every pass) set a floor that no code can beat: a data read takes
// five passes after the one that takes the request, a screen read two. The pass-driven
// benchmarks measure what the program adds above that floor; the threaded one the whole wait.
#include "device/LibUSB.h"
#include "device/USBExchange.h"
#include "device/USBThread.h"
#include "platform/NamedEvent.h"
#include "results/MeasRecord.h"

#include "SimulatorFirst.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace lum1 {
namespace {

struct NullWindow : IExchangeWindow {
    void SyncStatus(const TStatusMessage&) override {}
    void PrintErrorToStatusBar(const QString&) override {}
    void SyncProgressStart() override {}
    void SyncProgress(int) override {}
    void SyncProgressHide() override {}
    void SyncLink(TLinkColour) override {}
    void SyncDataClear() override {}
    void SyncFillTable() override {}
};

struct Rig {
    QTemporaryDir dir;
    TLibUSB usb;
    NullWindow window;
    std::unique_ptr<TRecordStore> store = std::make_unique<TRecordStore>();
    TUSBExchange exchange{usb, window, TExchangeEvents::Create(TEventNamespace(dir.path())), *store, [](int) {}};

    explicit Rig(const char* scenario) {
        exchange.Pass();
        int (*load)(const char*) = nullptr;
        void* h = ::dlopen(TLibUSB::DefaultLibraryName, RTLD_NOW | RTLD_NOLOAD);
        if (h) {
            load = reinterpret_cast<int (*)(const char*)>(::dlsym(h, "lum1sim_load_scenario"));
            ::dlclose(h);
        }
        if (!load || load(scenario) != 0)
            std::abort(); // not the simulator
    }
};

void BM_DataRead2500Passes(benchmark::State& state) {
    Rig rig("[gauge]\nversion=2\nrecords=2500\n");
    for (auto _ : state) {
        if (!rig.exchange.AReadExecute([&] { rig.exchange.Pass(); }) || rig.store->RecordCount.load() != 2500)
            state.SkipWithError("read failed");
        while (rig.exchange.USBState.load() != stIdle)
            rig.exchange.Pass();
    }
}
BENCHMARK(BM_DataRead2500Passes)->Unit(benchmark::kMillisecond);

void BM_ScreenRead18000Passes(benchmark::State& state) {
    Rig rig("[gauge]\nversion=2\n");
    for (auto _ : state) {
        if (!rig.exchange.RunAndWait(TOperation::ScreenRead, [&] { rig.exchange.Pass(); }))
            state.SkipWithError("read failed");
        while (rig.exchange.USBState.load() != stIdle)
            rig.exchange.Pass();
    }
}
BENCHMARK(BM_ScreenRead18000Passes)->Unit(benchmark::kMillisecond);

void BM_DataRead2500Thread(benchmark::State& state) {
    Rig rig("[gauge]\nversion=2\nrecords=2500\n");
    USBThread thread(rig.exchange, rig.usb, {0, 50});
    for (auto _ : state)
        if (!rig.exchange.AReadExecute([] {}))
            state.SkipWithError("read failed");
    // Back to back: the previous read's close pass, then the idle pass and four more.
    state.counters["floor_ms"] = 6 * 50;
}
BENCHMARK(BM_DataRead2500Thread)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
} // namespace lum1

int main(int argc, char** argv) {
    lum1::sim::RestartWithSimulatorFirst(LUM1_SIM_DIR, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
