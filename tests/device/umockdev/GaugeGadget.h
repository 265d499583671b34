#pragma once
// The gauge as a USB device inside a umockdev testbed: a device node under /dev/bus/usb that
// Debian's own libusb-0.1 scans, opens and reads its descriptors from, and a usbfs ioctl handler
// that carries the bulk URBs to and from the gauge model. Needs libumockdev-preload in the
// process (umockdev-wrapper).

#include "GaugeModel.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct _UMockdevTestbed;
struct _UMockdevIoctlBase;
struct _UMockdevIoctlClient;

namespace lum1::test {

class TGaugeGadget {
public:
    explicit TGaugeGadget(sim::TGaugeConfig config);
    ~TGaugeGadget();
    TGaugeGadget(const TGaugeGadget&) = delete;
    TGaugeGadget& operator=(const TGaugeGadget&) = delete;

    // Whether libumockdev-preload is in this process.
    static bool InMockEnvironment();

    static constexpr const char* DevNode = "/dev/bus/usb/001/002";

    // Device, configuration, interface and both endpoint descriptors, as usbfs serves them.
    std::vector<uint8_t> Descriptors() const;

    // The gauge stops answering: every usbfs call on an open node fails with ENODEV, as on a
    // real unplug. With removeNode the device also leaves sysfs and /dev.
    void Unplug(bool removeNode);

    // How often each usbfs request was seen ("SUBMITURB", "SETCONFIGURATION 1", ...).
    int Count(const std::string& what) const;
    std::vector<std::string> Calls() const;

private:
    struct Urb;
    static int OnIoctl(_UMockdevIoctlBase* base, _UMockdevIoctlClient* client, void* self);
    static int OnRead(_UMockdevIoctlBase* base, _UMockdevIoctlClient* client, void* self);
    static void OnConnected(_UMockdevIoctlBase* base, _UMockdevIoctlClient* client, void* self);
    void Ioctl(_UMockdevIoctlClient* client);
    void Read(_UMockdevIoctlClient* client);
    void Note(std::string what);
    void FillPendingIn();

    _UMockdevTestbed* testbed_ = nullptr;
    _UMockdevIoctlBase* handler_ = nullptr;
    std::string sysPath_;

    mutable std::mutex mutex_;
    sim::TGaugeModel model_;
    bool gone_ = false;
    std::vector<std::string> calls_;
    std::vector<Urb*> submitted_; // not yet completed, oldest first
    std::vector<Urb*> completed_; // waiting to be reaped, oldest first
};

} // namespace lum1::test
