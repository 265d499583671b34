// The simulated gauge answers every request with the fuzzer's bytes: a data read and a screen
// read must end in a message or the failure path, never in a crash, a hang or an overrun. Runs
// through the real loading code, with the simulator first on the library path.
#include "SimulatorFirst.h"
#include "device/LibUSB.h"
#include "device/USBExchange.h"
#include "platform/NamedEvent.h"
#include "results/MeasRecord.h"

#include <QTemporaryDir>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct NullWindow : lum1::IExchangeWindow {
    void SyncStatus(const lum1::TStatusMessage&) override {}
    void PrintErrorToStatusBar(const QString&) override {}
    void SyncProgressStart() override {}
    void SyncProgress(int) override {}
    void SyncProgressHide() override {}
    void SyncLink(lum1::TLinkColour) override {}
    void SyncDataClear() override {}
    void SyncFillTable() override {}
};

struct Rig {
    QTemporaryDir dir;
    lum1::TLibUSB usb;
    NullWindow window;
    std::unique_ptr<lum1::TRecordStore> store = std::make_unique<lum1::TRecordStore>();
    lum1::TUSBExchange exchange{usb, window, lum1::TExchangeEvents::Create(lum1::TEventNamespace(dir.path())), *store,
                                [](int) {}};
    int (*load)(const char*) = nullptr;

    Rig() {
        exchange.Pass();
        void* h = ::dlopen(lum1::TLibUSB::DefaultLibraryName, RTLD_NOW | RTLD_NOLOAD);
        if (h) {
            load = reinterpret_cast<int (*)(const char*)>(::dlsym(h, "lum1sim_load_scenario"));
            ::dlclose(h);
        }
        if (!load) {
            std::fprintf(stderr, "the simulator is not on the library path\n");
            std::abort();
        }
    }

    void Run(lum1::TOperation op) {
        int passes = 0;
        exchange.RunAndWait(op, [&] {
            exchange.Pass();
            if (++passes > 100000)
                std::abort(); // a hang
        });
        while (exchange.USBState.load() != lum1::stIdle)
            exchange.Pass();
    }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    lum1::sim::RestartWithSimulatorFirst(LUM1_SIM_DIR, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Rig rig;
    if (size > 4096)
        return 0;
    std::string scenario = "[gauge]\nraw_answer=";
    char hex[4];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(hex, sizeof hex, "%02X ", data[i]);
        scenario += hex;
    }
    rig.load(scenario.c_str());
    rig.Run(lum1::TOperation::DataRead);
    rig.Run(lum1::TOperation::ScreenRead);
    if (rig.store->RecordCount.load() > lum1::MaxRecords)
        std::abort();
    return 0;
}
