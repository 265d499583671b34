#include "device/LibUSB.h"

#include "diag/ExchangeLog.h"

#include <usb.h>

#include <dlfcn.h>
#include <link.h>

#include <array>
#include <cstdio>

namespace lum1 {

namespace {

struct TName {
    const char* Name;
    bool Required; // exported by Linux's libusb-0.1; the others exist only in the Windows library
};

// The resolution order of the 43 names.
constexpr std::array<TName, TLibUSB::NameCount> Names{{
    {"usb_bulk_read", true},
    {"usb_bulk_setup_async", false},
    {"usb_bulk_write", true},
    {"usb_cancel_async", false},
    {"usb_claim_interface", true},
    {"usb_clear_halt", true},
    {"usb_close", true},
    {"usb_control_msg", true},
    {"usb_device", true},
    {"usb_find_busses", true},
    {"usb_find_devices", true},
    {"usb_free_async", false},
    {"usb_get_busses", true},
    {"usb_get_descriptor", true},
    {"usb_get_descriptor_by_endpoint", true},
    {"usb_get_string", true},
    {"usb_get_string_simple", true},
    {"usb_get_version", false},
    {"usb_init", true},
    {"usb_install_driver_np", false},
    {"usb_install_driver_np_rundll", false},
    {"usb_install_needs_restart_np", false},
    {"usb_install_service_np", false},
    {"usb_install_service_np_rundll", false},
    {"usb_interrupt_read", true},
    {"usb_interrupt_setup_async", false},
    {"usb_interrupt_write", true},
    {"usb_isochronous_setup_async", false},
    {"usb_open", true},
    {"usb_reap_async", false},
    {"usb_reap_async_nocancel", false},
    {"usb_release_interface", true},
    {"usb_reset", true},
    {"usb_resetep", true},
    {"usb_set_altinterface", true},
    {"usb_set_configuration", true},
    {"usb_set_debug", true},
    {"usb_strerror", true},
    {"usb_submit_async", false},
    {"usb_touch_inf_file_np", false},
    {"usb_touch_inf_file_np_rundll", false},
    {"usb_uninstall_service_np", false},
    {"usb_uninstall_service_np_rundll", false},
}};

constexpr int Index(std::string_view name) {
    for (size_t i = 0; i < Names.size(); ++i)
        if (Names[i].Name == name)
            return static_cast<int>(i);
    return -1;
}

static_assert([] {
    int required = 0;
    for (const auto& n : Names)
        required += n.Required;
    return required == 25;
}());

const char* const Banner = "=============================";

} // namespace

struct TLibUSB::Api {
    std::array<void*, NameCount> Entry{};

    template <typename F> F Get(std::string_view name) const {
        return reinterpret_cast<F>(Entry[static_cast<size_t>(Index(name))]);
    }
    void (*usb_init)() = nullptr;
    int (*usb_find_busses)() = nullptr;
    int (*usb_find_devices)() = nullptr;
    usb_bus* (*usb_get_busses)() = nullptr;
    usb_dev_handle* (*usb_open)(struct usb_device*) = nullptr;
    int (*usb_set_configuration)(usb_dev_handle*, int) = nullptr;
    int (*usb_claim_interface)(usb_dev_handle*, int) = nullptr;
    int (*usb_bulk_write)(usb_dev_handle*, int, const char*, int, int) = nullptr;
    int (*usb_bulk_read)(usb_dev_handle*, int, char*, int, int) = nullptr;
    int (*usb_close)(usb_dev_handle*) = nullptr;

    void Bind() {
        usb_init = Get<decltype(usb_init)>("usb_init");
        usb_find_busses = Get<decltype(usb_find_busses)>("usb_find_busses");
        usb_find_devices = Get<decltype(usb_find_devices)>("usb_find_devices");
        usb_get_busses = Get<decltype(usb_get_busses)>("usb_get_busses");
        usb_open = Get<decltype(usb_open)>("usb_open");
        usb_set_configuration = Get<decltype(usb_set_configuration)>("usb_set_configuration");
        usb_claim_interface = Get<decltype(usb_claim_interface)>("usb_claim_interface");
        usb_bulk_write = Get<decltype(usb_bulk_write)>("usb_bulk_write");
        usb_bulk_read = Get<decltype(usb_bulk_read)>("usb_bulk_read");
        usb_close = Get<decltype(usb_close)>("usb_close");
    }
    void Clear() { *this = Api{}; }
};

TLibUSB::TLibUSB(TExchangeLog* log, std::string libraryName)
    : log_(log), libraryName_(std::move(libraryName)), api_(new Api) {}

TLibUSB::~TLibUSB() {
    // A library closed already had its close logged then: the object's end adds nothing.
    if (libHandle_)
        CloseLibrary();
    delete api_;
}

void TLibUSB::SetPrintError(std::function<void(const QString&)> printError) {
    std::lock_guard lock(call_);
    printError_ = std::move(printError);
}

void TLibUSB::SetEnglishUI(std::function<bool()> englishUI) {
    std::lock_guard lock(call_);
    englishUI_ = std::move(englishUI);
}

void TLibUSB::Log(std::string_view line) const {
    if (log_)
        log_->LogUSBWrite(line);
}

std::string TLibUSB::LoadedFile() const {
    std::lock_guard lock(call_);
    return loadedFile_;
}

int TLibUSB::ResolvedNames() const {
    std::lock_guard lock(call_);
    int n = 0;
    for (void* p : api_->Entry)
        n += p != nullptr;
    return n;
}

int TLibUSB::Initialize() {
    std::lock_guard lock(call_);
    Log(Banner);
    Log("=    Initialize LibUsb      =");
    Log(Banner);
    if (libHandle_)
        return 0;
    Log("LoadLibrary(\"" + libraryName_ + "\");");
    // By name only, so that the library path decides which file is loaded.
    void* handle = ::dlopen(libraryName_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return 1;
    std::string file = libraryName_;
    link_map* map = nullptr;
    if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
        file = map->l_name;
    Log("LibUsb loaded! (" + file + ")");
    Log("Library initialize...");
    for (size_t i = 0; i < Names.size(); ++i) {
        api_->Entry[i] = ::dlsym(handle, Names[i].Name);
        if (!api_->Entry[i] && Names[i].Required) {
            api_->Clear();
            ::dlclose(handle);
            return 2;
        }
    }
    api_->Bind();
    libHandle_ = handle;
    loadedFile_ = file;
    loaded_.store(true, std::memory_order_release);
    api_->usb_init();
    Log("Library initialized!");
    return 0;
}

int TLibUSB::FindDevice() {
    QString statusText;
    std::function<void(const QString&)> printError;
    int result = 1;
    {
        std::lock_guard lock(call_);
        printError = printError_;
        Log("Find buses and devices...");
        int busChanges = 0, deviceChanges = 0;
        if (libHandle_) {
            busChanges = api_->usb_find_busses();
            deviceChanges = api_->usb_find_devices();
        }
        Log("Buses and devices found!");
        Log("Device search...");
        struct usb_device* match = nullptr;
        for (usb_bus* bus = libHandle_ ? api_->usb_get_busses() : nullptr; bus && !match; bus = bus->next)
            for (struct usb_device* dev = bus->devices; dev; dev = dev->next) {
                const uint16_t vendor = dev->descriptor.idVendor;
                if ((vendor == VendorV1 || vendor == VendorV2) && dev->descriptor.idProduct == ProductId) {
                    match = dev;
                    break;
                }
            }
        if (match && busChanges == 0 && deviceChanges == 0 && deviceHandle_)
            return 0;
        if (match) {
            // A changed bus may have replaced the device: never leak the handle kept so far.
            if (deviceHandle_)
                api_->usb_close(deviceHandle_);
            deviceHandle_ = api_->usb_open(match);
        }
        if (match && deviceHandle_) {
            int r = api_->usb_set_configuration(deviceHandle_, Configuration);
            if (r < 0)
                statusText = ErrorText(r);
            r = api_->usb_claim_interface(deviceHandle_, Interface);
            if (r < 0)
                statusText = ErrorText(r);
            Log("Device found!");
            DeviceV2.store(match->descriptor.idVendor == VendorV2);
            result = 0;
        } else {
            // A gauge that cannot be opened (no access rights) is as good as absent.
            Log("Device NOT found!");
            // The handle of a gauge that has gone is closed, not forgotten: the system keeps its
            // file open otherwise until the process ends.
            if (deviceHandle_)
                api_->usb_close(deviceHandle_);
            deviceHandle_ = nullptr;
            const bool english = englishUI_ && englishUI_();
            statusText =
                english
                    ? QStringLiteral("The device is not connected to the USB bus or is turned off. Turn on "
                                     "the device, connect it to the USB bus and restart the program.")
                    : QStringLiteral("Прибор не подключен к шине USB или выключен. Включите прибор, "
                                     "подключите его к шине USB и перезапустите программу.");
        }
    }
    // Outside the lock: the text is handed to the window thread and waited for.
    if (!statusText.isEmpty() && printError)
        printError(statusText);
    return result;
}

int TLibUSB::Transfer(bool write, uint8_t* buffer, int length) {
    std::lock_guard lock(call_);
    int r = NoDeviceResult;
    if (libHandle_ && deviceHandle_)
        r = write ? api_->usb_bulk_write(deviceHandle_, EndpointOut, reinterpret_cast<const char*>(buffer),
                                         length, TimeoutMs)
                  : api_->usb_bulk_read(deviceHandle_, EndpointIn, reinterpret_cast<char*>(buffer), length,
                                        TimeoutMs);
    std::string line = write ? "LibUsb WriteData(), " : "LibUsb ReadData(), ";
    line += std::to_string(length);
    if (r == length) {
        char hex[4];
        line += " byte(s), OK (";
        for (int i = 0; i < 4 && (i == 0 || i < length); ++i) {
            std::snprintf(hex, sizeof hex, "%02X", buffer[i]);
            if (i)
                line += ' ';
            line += hex;
        }
        line += ")";
    } else {
        line += " byte(s), ERROR " + ErrorText(r).toStdString();
    }
    Log(line);
    return r;
}

int TLibUSB::WriteData(const uint8_t* bytes, int length) {
    return Transfer(true, const_cast<uint8_t*>(bytes), length);
}

int TLibUSB::ReadData(uint8_t* buffer, int length) {
    return Transfer(false, buffer, length);
}

void TLibUSB::CloseDevice() {
    std::lock_guard lock(call_);
    CloseDeviceLocked();
}

void TLibUSB::CloseDeviceLocked() {
    if (deviceHandle_) {
        api_->usb_close(deviceHandle_);
        deviceHandle_ = nullptr;
    }
    Log("Device closed! (DeviceHandle=NULL)");
    Log("--------------");
}

void TLibUSB::CloseLibrary() {
    std::lock_guard lock(call_);
    CloseLibraryLocked();
}

bool TLibUSB::CloseLibraryIfIdle() {
    std::unique_lock lock(call_, std::try_to_lock);
    if (!lock.owns_lock())
        return false;
    // The window's take-over of the close: the device, then the library, as the thread would.
    CloseDeviceLocked();
    CloseLibraryLocked();
    return true;
}

void TLibUSB::CloseLibraryLocked() {
    Log("LibUsb close...");
    if (deviceHandle_) {
        api_->usb_close(deviceHandle_);
        deviceHandle_ = nullptr;
    }
    api_->Clear();
    if (libHandle_) {
        loaded_.store(false, std::memory_order_release);
        ::dlclose(libHandle_);
        libHandle_ = nullptr;
        loadedFile_.clear();
    }
    Log("LibUsb closed!");
    Log(Banner);
}

} // namespace lum1
