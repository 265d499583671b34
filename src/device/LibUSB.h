#pragma once
// The program's only contact with the USB library. libusb-0.1 is loaded by name at run time
// and never linked, so the program starts without it and a drop-in library (the simulator) can
// take its place through the library path.

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

struct usb_dev_handle;

namespace lum1 {

class TExchangeLog;

class TLibUSB {
public:
#ifdef _WIN32
    static constexpr const char* DefaultLibraryName = "libusb0.dll";
#else
    static constexpr const char* DefaultLibraryName = "libusb-0.1.so.4";
#endif
    static constexpr int NameCount = 43;
    static constexpr uint16_t VendorV1 = 0x03EB;
    static constexpr uint16_t VendorV2 = 0x0483;
    static constexpr uint16_t ProductId = 0x0131;
    static constexpr int Configuration = 1;
    static constexpr int Interface = 0;
    static constexpr int EndpointOut = 0x01;
    static constexpr int EndpointIn = 0x82;
    static constexpr int TimeoutMs = 2000;

    explicit TLibUSB(TExchangeLog* log = nullptr, std::string libraryName = DefaultLibraryName);
    ~TLibUSB();
    TLibUSB(const TLibUSB&) = delete;
    TLibUSB& operator=(const TLibUSB&) = delete;

    // Where FindDevice's status-line texts go, and which language they take.
    void SetPrintError(std::function<void(const QString&)> printError);
    void SetEnglishUI(std::function<bool()> englishUI);

    int Initialize();
    bool IsLoaded() const {
        return loaded_.load(std::memory_order_acquire);
    }
    int FindDevice();
    int WriteData(const uint8_t* bytes, int length);
    int ReadData(uint8_t* buffer, int length);
    void CloseDevice();
    void CloseLibrary();
    // For the window thread at close: unloads only when no call into the library is running on
    // another thread, so a transfer never loses its library underneath. True when unloaded.
    bool CloseLibraryIfIdle();

    static QString ErrorText(int code);

    // Set from the vendor id of the opened gauge; the screen read may set it again.
    std::atomic<bool> DeviceV2{false};

    // The file the loaded library came from (empty while not loaded).
    std::string LoadedFile() const;
    // How many of the 43 names the loaded library provides.
    int ResolvedNames() const;

    // A transfer attempted with no library or no device open returns this (-ENODEV).
    static constexpr int NoDeviceResult = -19;

private:
    struct Api;
    void Log(std::string_view line) const;
    void CloseDeviceLocked();
    void CloseLibraryLocked();
    int Transfer(bool write, uint8_t* buffer, int length);

    TExchangeLog* log_;
    std::string libraryName_;
    std::function<void(const QString&)> printError_;
    std::function<bool()> englishUI_;

    // Held by every operation: the window thread's close never runs into the middle of one.
    mutable std::mutex call_;
    void* libHandle_ = nullptr;
    std::atomic<bool> loaded_{false};
    usb_dev_handle* deviceHandle_ = nullptr;
    Api* api_;
    std::string loadedFile_;
};

} // namespace lum1
