// The drop-in libusb-0.1: the C API of usb.h over simulated gauges. Results follow the Linux
// library: counts on success, negated errno values on failure (-110 for a time-out, -19 for a
// gauge that has gone).

#include "GaugeModel.h"
#include "Scenario.h"
#include "SimControl.h"

#include <usb.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

struct usb_dev_handle {
    size_t Gauge;
};

namespace {

using lum1::sim::TGaugeModel;
using lum1::sim::TSimGauge;

struct Gauge {
    std::unique_ptr<TGaugeModel> Model;
    int Bus = 1;
    struct usb_device Dev{};
    bool Listed = false;
};

struct Sim {
    std::mutex Mutex;
    bool Initialised = false;
    std::vector<std::unique_ptr<Gauge>> Gauges;
    std::vector<std::unique_ptr<usb_bus>> Busses;
    bool BussesReported = false;
    std::vector<std::string> Trace;
    std::string Error;

    void Load(std::vector<TSimGauge> gauges) {
        Gauges.clear();
        Busses.clear();
        BussesReported = false;
        for (auto& g : gauges) {
            auto s = std::make_unique<Gauge>();
            s->Bus = g.Bus;
            s->Model = std::make_unique<TGaugeModel>(std::move(g.Config));
            s->Model->SetPlugged(g.Plugged);
            s->Dev.descriptor.bLength = USB_DT_DEVICE_SIZE;
            s->Dev.descriptor.bDescriptorType = USB_DT_DEVICE;
            s->Dev.descriptor.idVendor = s->Model->Config().Vendor;
            s->Dev.descriptor.idProduct = s->Model->Config().Product;
            s->Dev.descriptor.bNumConfigurations = 1;
            s->Dev.devnum = static_cast<uint8_t>(Gauges.size() + 2);
            std::snprintf(s->Dev.filename, sizeof s->Dev.filename, "%03u", s->Dev.devnum);
            Gauges.push_back(std::move(s));
        }
        // Busses in ascending number, the order the tests rely on.
        std::vector<int> numbers;
        for (const auto& g : Gauges)
            numbers.push_back(g->Bus);
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        for (const int number : numbers) {
            bool known = false;
            for (const auto& b : Busses)
                known = known || b->location == static_cast<uint32_t>(number);
            if (!known) {
                auto b = std::make_unique<usb_bus>();
                std::memset(b.get(), 0, sizeof(usb_bus));
                b->location = static_cast<uint32_t>(number);
                std::snprintf(b->dirname, sizeof b->dirname, "%03d", number);
                if (!Busses.empty()) {
                    Busses.back()->next = b.get();
                    b->prev = Busses.back().get();
                }
                Busses.push_back(std::move(b));
            }
        }
    }

    // Rebuilds each bus's device list from the plugged gauges; returns the number of changes.
    int Rescan() {
        int changes = 0;
        for (auto& b : Busses)
            b->devices = nullptr;
        for (auto& g : Gauges) {
            g->Model->Scan();
            const bool listed = g->Model->Plugged();
            changes += listed != g->Listed;
            g->Listed = listed;
            g->Dev.next = g->Dev.prev = nullptr;
            if (!listed)
                continue;
            for (auto& b : Busses) {
                if (b->location != static_cast<uint32_t>(g->Bus))
                    continue;
                g->Dev.bus = b.get();
                struct usb_device** tail = &b->devices;
                struct usb_device* prev = nullptr;
                while (*tail) {
                    prev = *tail;
                    tail = &(*tail)->next;
                }
                *tail = &g->Dev;
                g->Dev.prev = prev;
            }
        }
        return changes;
    }

    void Log(const std::string& line) {
        if (Trace.size() < 200000)
            Trace.push_back(line);
    }
};

Sim& State() {
    static Sim sim;
    return sim;
}

std::string Hex(int v) {
    char b[8];
    std::snprintf(b, sizeof b, "%02X", v & 0xFF);
    return b;
}

std::string ReadScenarioFile() {
    const char* path = std::getenv(LUM1SIM_SCENARIO_ENV);
    if (!path || !*path)
        return {};
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

} // namespace

extern "C" {

void usb_init(void) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    s.Log("usb_init");
    if (s.Initialised)
        return;
    s.Initialised = true;
    const std::string text = ReadScenarioFile();
    s.Load(text.empty() ? lum1::sim::DefaultScenario() : lum1::sim::ParseScenario(text, &s.Error));
}

void usb_set_debug(int) {}

int usb_find_busses(void) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    const int n = s.BussesReported ? 0 : static_cast<int>(s.Busses.size());
    s.BussesReported = true;
    s.Log("usb_find_busses -> " + std::to_string(n));
    return n;
}

int usb_find_devices(void) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    const int n = s.Rescan();
    s.Log("usb_find_devices -> " + std::to_string(n));
    return n;
}

struct usb_bus* usb_get_busses(void) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    return s.Busses.empty() ? nullptr : s.Busses.front().get();
}

usb_dev_handle* usb_open(struct usb_device* dev) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    for (size_t i = 0; i < s.Gauges.size(); ++i)
        if (&s.Gauges[i]->Dev == dev) {
            s.Log("usb_open " + std::to_string(i));
            return new usb_dev_handle{i};
        }
    s.Log("usb_open unknown");
    return nullptr;
}

int usb_close(usb_dev_handle* h) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    s.Log("usb_close");
    delete h;
    return 0;
}

int usb_set_configuration(usb_dev_handle* h, int configuration) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    s.Log("usb_set_configuration " + std::to_string(configuration));
    return h && s.Gauges.at(h->Gauge)->Model->Plugged() ? 0 : -ENODEV;
}

int usb_claim_interface(usb_dev_handle* h, int interface) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    s.Log("usb_claim_interface " + std::to_string(interface));
    return h && s.Gauges.at(h->Gauge)->Model->Plugged() ? 0 : -ENODEV;
}

int usb_release_interface(usb_dev_handle*, int) { return 0; }

int usb_bulk_write(usb_dev_handle* h, int ep, const char* bytes, int size, int timeout) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    const int r = h ? s.Gauges.at(h->Gauge)->Model->Write(ep, reinterpret_cast<const uint8_t*>(bytes), size) : -EBADF;
    std::string line = "usb_bulk_write ep=" + Hex(ep) + " len=" + std::to_string(size) + " timeout=" + std::to_string(timeout);
    for (int i = 0; i < size && i < 4; ++i)
        line.append(1, ' ').append(Hex(bytes[i]));
    s.Log(line + " -> " + std::to_string(r));
    return r;
}

int usb_bulk_read(usb_dev_handle* h, int ep, char* bytes, int size, int timeout) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    const int r = h ? s.Gauges.at(h->Gauge)->Model->Read(ep, reinterpret_cast<uint8_t*>(bytes), size) : -EBADF;
    s.Log("usb_bulk_read ep=" + Hex(ep) + " len=" + std::to_string(size) + " timeout=" + std::to_string(timeout) + " -> " + std::to_string(r));
    return r;
}

int usb_interrupt_write(usb_dev_handle*, int, const char*, int, int) { return -ENOSYS; }
int usb_interrupt_read(usb_dev_handle*, int, char*, int, int) { return -ENOSYS; }
int usb_control_msg(usb_dev_handle*, int, int, int, int, char*, int, int) { return -ENOSYS; }
int usb_get_string(usb_dev_handle*, int, int, char*, size_t) { return -ENOSYS; }
int usb_get_string_simple(usb_dev_handle*, int, char*, size_t) { return -ENOSYS; }
int usb_get_descriptor_by_endpoint(usb_dev_handle*, int, unsigned char, unsigned char, void*, int) { return -ENOSYS; }
int usb_get_descriptor(usb_dev_handle*, unsigned char, unsigned char, void*, int) { return -ENOSYS; }
int usb_set_altinterface(usb_dev_handle*, int) { return 0; }
int usb_resetep(usb_dev_handle*, unsigned int) { return 0; }
int usb_clear_halt(usb_dev_handle*, unsigned int) { return 0; }
int usb_reset(usb_dev_handle*) { return 0; }

struct usb_device* usb_device(usb_dev_handle* h) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    return h ? &s.Gauges.at(h->Gauge)->Dev : nullptr;
}

char* usb_strerror(void) {
    static char text[] = "simulated gauge";
    return text;
}

int lum1sim_load_scenario(const char* text) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    s.Error.clear();
    s.Initialised = true;
    s.Load(lum1::sim::ParseScenario(text ? text : "", &s.Error));
    s.Trace.clear();
    return s.Error.empty() ? 0 : -1;
}

int lum1sim_trace(char* buffer, int size) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    std::string all;
    for (const auto& line : s.Trace)
        all += line + "\n";
    if (buffer && size > 0) {
        const size_t n = std::min(all.size(), static_cast<size_t>(size - 1));
        std::memcpy(buffer, all.data(), n);
        buffer[n] = 0;
    }
    return static_cast<int>(all.size());
}

void lum1sim_clear_trace(void) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    s.Trace.clear();
}

void lum1sim_set_plugged(int gauge, int plugged) {
    Sim& s = State();
    std::lock_guard lock(s.Mutex);
    if (gauge >= 0 && static_cast<size_t>(gauge) < s.Gauges.size())
        s.Gauges[static_cast<size_t>(gauge)]->Model->SetPlugged(plugged != 0);
}

} // extern "C"
