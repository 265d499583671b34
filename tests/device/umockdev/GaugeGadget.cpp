#include "GaugeGadget.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace lum1::test {

namespace {
constexpr unsigned DevNum = 2;

void Complete(UMockdevIoctlClient* client, long result, int error) { umockdev_ioctl_client_complete(client, result, error); }

// Resolves the memory the ioctl argument points to; owned by the caller.
UMockdevIoctlData* Resolve(UMockdevIoctlData* data, size_t offset, size_t length) {
    GError* error = nullptr;
    UMockdevIoctlData* r = umockdev_ioctl_data_resolve(data, offset, length, &error);
    if (error)
        g_error_free(error);
    return r;
}

int IntArg(UMockdevIoctlData* arg) {
    int value = -1;
    if (UMockdevIoctlData* d = Resolve(arg, 0, sizeof(int))) {
        std::memcpy(&value, d->data, sizeof value);
        g_object_unref(d);
    }
    return value;
}
} // namespace

struct TGaugeGadget::Urb {
    UMockdevIoctlData* Header = nullptr; // the client's usbdevfs_urb
    UMockdevIoctlData* Buffer = nullptr; // the client's transfer buffer
    usbdevfs_urb* Fields() const { return reinterpret_cast<usbdevfs_urb*>(Header->data); }
    ~Urb() {
        if (Buffer)
            g_object_unref(Buffer);
        if (Header)
            g_object_unref(Header);
    }
};

TGaugeGadget::TGaugeGadget(sim::TGaugeConfig config) : model_(std::move(config)) {
    testbed_ = umockdev_testbed_new();
    // The record format, since only its "N:" line gives the node its contents: usbfs serves the
    // descriptors from the node, and that is where libusb-0.1 reads them.
    std::string hex;
    for (uint8_t b : Descriptors()) {
        char two[3];
        std::snprintf(two, sizeof two, "%02X", b); // umockdev rejects lower-case hex
        hex += two;
    }
    char ids[64];
    std::snprintf(ids, sizeof ids, "A: idVendor=%04x\nA: idProduct=%04x\n", model_.Config().Vendor,
                  model_.Config().Product);
    const std::string record = std::string("P: /devices/1-1\nN: bus/usb/001/002=") + hex +
                               "\nE: DEVNAME=/dev/bus/usb/001/002\nE: DEVTYPE=usb_device\nE: SUBSYSTEM=usb\n"
                               "E: BUSNUM=001\nE: DEVNUM=002\n" +
                               ids + "A: bConfigurationValue=1\nA: bNumConfigurations=1\nA: busnum=1\nA: devnum=2\n"
                               "A: speed=12\nA: dev=189:1\nH: descriptors=" + hex + "\n";
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_string(testbed_, record.c_str(), &error)) {
        const std::string text = error ? error->message : "add_from_string failed";
        if (error)
            g_error_free(error);
        throw std::runtime_error(text);
    }
    sysPath_ = "/sys/devices/1-1";

    handler_ = umockdev_ioctl_base_new();
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(OnIoctl), this);
    g_signal_connect(handler_, "handle-read", G_CALLBACK(OnRead), this);
    g_signal_connect(handler_, "client-connected", G_CALLBACK(OnConnected), this);
    if (!umockdev_testbed_attach_ioctl(testbed_, DevNode, handler_, &error)) {
        const std::string text = error ? error->message : "attach_ioctl failed";
        if (error)
            g_error_free(error);
        throw std::runtime_error(text);
    }
}

TGaugeGadget::~TGaugeGadget() {
    umockdev_testbed_detach_ioctl(testbed_, DevNode, nullptr);
    g_object_unref(handler_);
    g_object_unref(testbed_);
    for (Urb* u : submitted_)
        delete u;
    for (Urb* u : completed_)
        delete u;
}

bool TGaugeGadget::InMockEnvironment() { return umockdev_in_mock_environment(); }

std::vector<uint8_t> TGaugeGadget::Descriptors() const {
    const uint16_t v = model_.Config().Vendor, p = model_.Config().Product;
    return {// device: USB 2.0, vendor class at interface level, 64-byte EP0, one configuration
            18, 1, 0x00, 0x02, 0, 0, 0, 64, uint8_t(v), uint8_t(v >> 8), uint8_t(p), uint8_t(p >> 8), 0x00, 0x01, 0,
            0, 0, 1,
            // configuration 1, 32 bytes in all, one interface, bus powered
            9, 2, 32, 0, 1, 1, 0, 0x80, 50,
            // interface 0: two endpoints, vendor specific
            9, 4, 0, 0, 2, 0xFF, 0, 0, 0,
            // bulk OUT 0x01 and bulk IN 0x82, 64-byte packets
            7, 5, 0x01, 2, 64, 0, 0, 7, 5, 0x82, 2, 64, 0, 0};
}

void TGaugeGadget::Unplug(bool removeNode) {
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
        model_.SetPlugged(false);
    }
    if (removeNode)
        umockdev_testbed_remove_device(testbed_, sysPath_.c_str());
}

int TGaugeGadget::Count(const std::string& what) const {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const std::string& c : calls_)
        n += c == what;
    return n;
}

std::vector<std::string> TGaugeGadget::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void TGaugeGadget::Note(std::string what) { calls_.push_back(std::move(what)); }

int TGaugeGadget::OnIoctl(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self) {
    static_cast<TGaugeGadget*>(self)->Ioctl(client);
    return TRUE;
}

int TGaugeGadget::OnRead(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void* self) {
    static_cast<TGaugeGadget*>(self)->Read(client);
    return TRUE;
}

void TGaugeGadget::OnConnected(_UMockdevIoctlBase*, _UMockdevIoctlClient* client, void*) {
    g_object_set_data(G_OBJECT(client), "offset", nullptr);
}

// usbfs hands out the descriptors as a file: each open reads them from the start.
void TGaugeGadget::Read(UMockdevIoctlClient* client) {
    std::lock_guard lock(mutex_);
    if (gone_) {
        Complete(client, -1, ENODEV);
        return;
    }
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    const std::vector<uint8_t> all = Descriptors();
    size_t offset = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(client), "offset"));
    const size_t n = std::min(all.size() - std::min(offset, all.size()), static_cast<size_t>(arg->data_len));
    std::memcpy(arg->data, all.data() + offset, n);
    g_object_set_data(G_OBJECT(client), "offset", GSIZE_TO_POINTER(offset + n));
    Note("READ " + std::to_string(n));
    Complete(client, static_cast<long>(n), 0);
}

// Hands the gauge's answer to the IN URBs waiting for it; an IN URB the gauge has nothing for
// stays pending, as on the wire, until the caller gives up and discards it.
void TGaugeGadget::FillPendingIn() {
    for (auto it = submitted_.begin(); it != submitted_.end() && model_.Pending() > 0;) {
        usbdevfs_urb* f = (*it)->Fields();
        const int n = model_.Read(f->endpoint, (*it)->Buffer->data, f->buffer_length);
        if (n == sim::ResultTimeout)
            break;
        f->status = n < 0 ? n : 0;
        f->actual_length = n < 0 ? 0 : n;
        completed_.push_back(*it);
        it = submitted_.erase(it);
    }
}

void TGaugeGadget::Ioctl(UMockdevIoctlClient* client) {
    std::lock_guard lock(mutex_);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
    if (gone_) {
        Note("ENODEV");
        Complete(client, -1, ENODEV);
        return;
    }
    switch (request) {
    case USBDEVFS_CONNECTINFO: {
        Note("CONNECTINFO");
        UMockdevIoctlData* d = Resolve(arg, 0, sizeof(usbdevfs_connectinfo));
        auto* info = reinterpret_cast<usbdevfs_connectinfo*>(d->data);
        info->devnum = DevNum;
        info->slow = 0;
        Complete(client, 0, 0);
        g_object_unref(d);
        return;
    }
    case USBDEVFS_SETCONFIGURATION:
        Note("SETCONFIGURATION " + std::to_string(IntArg(arg)));
        Complete(client, 0, 0);
        return;
    case USBDEVFS_CLAIMINTERFACE:
        Note("CLAIMINTERFACE " + std::to_string(IntArg(arg)));
        Complete(client, 0, 0);
        return;
    case USBDEVFS_RELEASEINTERFACE:
        Note("RELEASEINTERFACE " + std::to_string(IntArg(arg)));
        Complete(client, 0, 0);
        return;
    case USBDEVFS_SUBMITURB: {
        auto* u = new Urb;
        u->Header = Resolve(arg, 0, sizeof(usbdevfs_urb));
        usbdevfs_urb* f = u->Fields();
        u->Buffer = Resolve(u->Header, offsetof(usbdevfs_urb, buffer), static_cast<size_t>(f->buffer_length));
        const bool in = (f->endpoint & 0x80) != 0;
        Note(std::string("SUBMITURB ") + (in ? "IN " : "OUT ") + std::to_string(f->buffer_length));
        if (f->type != USBDEVFS_URB_TYPE_BULK) {
            delete u;
            Complete(client, -1, EINVAL);
            return;
        }
        if (in) {
            submitted_.push_back(u);
        } else {
            const int n = model_.Write(f->endpoint, u->Buffer->data, f->buffer_length);
            if (n == sim::ResultTimeout) {
                submitted_.push_back(u); // the gauge never takes the packet
            } else {
                f->status = n < 0 ? n : 0;
                f->actual_length = n < 0 ? 0 : n;
                completed_.push_back(u);
            }
        }
        FillPendingIn();
        Complete(client, 0, 0);
        return;
    }
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY: {
        const bool wait = request == USBDEVFS_REAPURB;
        if (completed_.empty()) {
            // A blocking reap of nothing would hang the test: answer it as the non-blocking one.
            if (wait)
                Note("REAPURB nothing");
            Complete(client, -1, EAGAIN);
            return;
        }
        Urb* u = completed_.front();
        completed_.erase(completed_.begin());
        Note(std::string(wait ? "REAPURB " : "REAPURBNDELAY ") + std::to_string(u->Fields()->actual_length));
        umockdev_ioctl_data_set_ptr(arg, 0, u->Header);
        Complete(client, 0, 0);
        delete u;
        return;
    }
    case USBDEVFS_DISCARDURB: {
        unsigned long address = 0;
        std::memcpy(&address, arg->data, std::min(sizeof address, static_cast<size_t>(arg->data_len)));
        for (auto it = submitted_.begin(); it != submitted_.end(); ++it)
            if ((*it)->Header->client_addr == address) {
                Note("DISCARDURB");
                (*it)->Fields()->status = -ENOENT;
                (*it)->Fields()->actual_length = 0;
                completed_.push_back(*it);
                submitted_.erase(it);
                Complete(client, 0, 0);
                return;
            }
        Note("DISCARDURB unknown");
        Complete(client, -1, EINVAL);
        return;
    }
    case USBDEVFS_IOCTL:
        // The library asks every device for its hub ports after a scan; the kernel answers
        // ENOTTY when no driver with an ioctl is bound, and the library carries on.
        Note("IOCTL hub ports");
        Complete(client, -1, ENOTTY);
        return;
    default: {
        char text[40];
        std::snprintf(text, sizeof text, "IOCTL 0x%lx", request);
        Note(text);
        Complete(client, -1, ENOTTY);
        return;
    }
    }
}

} // namespace lum1::test
