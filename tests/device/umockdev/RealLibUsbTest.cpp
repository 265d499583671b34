// The unchanged device code against Debian's own libusb-0.1, with the gauge emulated below the
// library at the usbfs level: what the library reads from /dev/bus/usb, its ioctls, its own
// time-out and unplug paths.
#include "GaugeGadget.h"

#include "DefaultGauge.h"
#include "TempDir.h"

#include "device/GaugeProtocol.h"
#include "device/LibUSB.h"
#include "diag/ExchangeLog.h"
#include "results/MeasRecord.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>

#include <usb.h>

#include <dlfcn.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>

namespace lum1::test {
namespace {

using ::testing::Contains;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

constexpr const char* DebianLibrary = LUM1_DEBIAN_LIBUSB;

sim::TGaugeConfig Gauge(uint16_t vendor = 0x0483, uint16_t product = 0x0131, int records = 0) {
    sim::TGaugeConfig c;
    c.Vendor = vendor;
    c.Product = product;
    c.Version = vendor == 0x0483 ? 2 : 1;
    c.Records = sim::MakeDefaultRecords(records);
    return c;
}

// The devices in the loaded library's own list, as its last scan left it.
int ListedDevices() {
    void* library = ::dlopen(TLibUSB::DefaultLibraryName, RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return -1;
    auto getBusses = reinterpret_cast<usb_bus* (*)()>(::dlsym(library, "usb_get_busses"));
    int n = 0;
    for (usb_bus* bus = getBusses ? getBusses() : nullptr; bus; bus = bus->next)
        for (struct usb_device* dev = bus->devices; dev; dev = dev->next)
            ++n;
    ::dlclose(library);
    return n;
}

class RealLibUsbTest : public ::testing::Test {
protected:
    void SetUp() override {
        log_ = std::make_unique<TExchangeLog>(dir_.File("LogUSB.log"), [] { return true; });
        log_->LogBegin();
        usb_ = std::make_unique<TLibUSB>(log_.get());
        usb_->SetPrintError([this](const QString& text) { printed_.push_back(text.toStdString()); });
    }

    // Plugs the gauge in before the library starts: libusb-0.1 looks for /dev/bus/usb in usb_init.
    void Plug(sim::TGaugeConfig config) {
        gadget_ = std::make_unique<TGaugeGadget>(std::move(config));
        // Without the preload the library would scan the host's real bus.
        ASSERT_TRUE(TGaugeGadget::InMockEnvironment()) << "run under umockdev-wrapper";
        ASSERT_EQ(usb_->Initialize(), 0);
    }

    std::string Log() const {
        QFile f(dir_.File("LogUSB.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    TempDir dir_;
    std::unique_ptr<TExchangeLog> log_;
    std::unique_ptr<TGaugeGadget> gadget_;
    std::unique_ptr<TLibUSB> usb_;
    std::vector<std::string> printed_;
};

TEST_F(RealLibUsbTest, LoadsDebiansLibraryByNameAndOpensTheGaugeThroughUsbfs) {
    Plug(Gauge());
    const std::string file = usb_->LoadedFile();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(std::filesystem::canonical(file), std::filesystem::canonical(DebianLibrary));
    EXPECT_EQ(usb_->ResolvedNames(), 25);
    EXPECT_NE(Log().find("LibUsb loaded! (" + file + ")"), std::string::npos);

    ASSERT_EQ(usb_->FindDevice(), 0);
    EXPECT_TRUE(usb_->DeviceV2.load());
    EXPECT_THAT(printed_, IsEmpty());
    // The scan read the whole descriptor set from the node, then the open configured the gauge.
    EXPECT_GE(gadget_->Count("CONNECTINFO"), 1);
    EXPECT_EQ(gadget_->Count("SETCONFIGURATION 1"), 1);
    EXPECT_EQ(gadget_->Count("CLAIMINTERFACE 0"), 1);
    EXPECT_THAT(gadget_->Calls(), Contains("READ 18"));
    EXPECT_THAT(gadget_->Calls(), Contains("IOCTL hub ports"));
    // Every request the library made is one the emulation knows.
    EXPECT_THAT(gadget_->Calls(), Not(Contains(StartsWith("IOCTL 0x"))));

    // A second search with nothing changed on the bus keeps the open handle.
    ASSERT_EQ(usb_->FindDevice(), 0);
    EXPECT_EQ(gadget_->Count("SETCONFIGURATION 1"), 1);
}

struct FindCase {
    const char* Name;
    uint16_t Vendor, Product;
    int Result;
    bool DeviceV2;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << c.Name; }

class RealLibUsbFindTest : public RealLibUsbTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(RealLibUsbFindTest, MatchesVendorAndProductFromTheScannedDescriptor) {
    const FindCase& c = GetParam();
    Plug(Gauge(c.Vendor, c.Product));
    usb_->DeviceV2 = !c.DeviceV2;
    EXPECT_EQ(usb_->FindDevice(), c.Result);
    if (c.Result == 0) {
        EXPECT_EQ(usb_->DeviceV2.load(), c.DeviceV2);
        EXPECT_THAT(printed_, IsEmpty());
    } else {
        EXPECT_EQ(gadget_->Count("SETCONFIGURATION 1"), 0);
        ASSERT_EQ(printed_.size(), 1u);
        EXPECT_EQ(printed_[0].rfind("Прибор не подключен к шине USB", 0), 0u) << printed_[0];
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RealLibUsbFindTest,
                         ::testing::Values(FindCase{"Version2", 0x0483, 0x0131, 0, true},
                                           FindCase{"Version1", 0x03EB, 0x0131, 0, false},
                                           FindCase{"OtherProduct", 0x0483, 0x0132, 1, false},
                                           FindCase{"OtherVendor", 0x1234, 0x0131, 1, false}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(RealLibUsbTest, ExchangesParameterCountAndRecordsOverBulkUrbs) {
    sim::TGaugeConfig config = Gauge(0x0483, 0x0131, 5);
    const std::vector<uint8_t> records = config.Records;
    Plug(std::move(config));
    ASSERT_EQ(usb_->FindDevice(), 0);
    TGaugeProtocol protocol(*usb_);

    char param[ParamTextSize];
    ASSERT_EQ(protocol.ReqParam(param), ExchangeDone);
    EXPECT_STREQ(param, "LUM-1.2 SN 20417");

    const TCountResult count = protocol.ReqCount(true);
    EXPECT_EQ(count.Outcome, TCountOutcome::Accepted);
    EXPECT_EQ(count.Records, 5);

    auto store = std::make_unique<TRecordStore>();
    ASSERT_EQ(protocol.ReqRecords(count.Records, *store, {}), ExchangeDone);
    ASSERT_EQ(store->RecordCount.load(), 5);
    for (size_t i = 0; i < 5; ++i) {
        const TMeasRecord expected = RecordFromBytes(records.data() + i * RecordSize);
        EXPECT_EQ(store->Records[i].Number, expected.Number) << i;
        EXPECT_EQ(float{store->Records[i].Density}, float{expected.Density}) << i; // copies: the fields are packed
        EXPECT_EQ(std::memcmp(store->Records[i].ObjectName, expected.ObjectName, sizeof expected.ObjectName), 0) << i;
    }
    // Every transfer went out as one bulk URB and came back through the library's reaping.
    EXPECT_EQ(gadget_->Count("SUBMITURB OUT 2"), 3);
    EXPECT_EQ(gadget_->Count("SUBMITURB IN 90"), 5);
    EXPECT_EQ(gadget_->Count("DISCARDURB"), 0);
    EXPECT_NE(Log().find("LibUsb ReadData(), 90 byte(s), OK ("), std::string::npos);
}

TEST_F(RealLibUsbTest, AnUnansweredReadEndsInTheLibrarysOwnTimeOutAndLeavesNoStaleUrb) {
    Plug(Gauge());
    ASSERT_EQ(usb_->FindDevice(), 0);
    uint8_t buffer[4] = {};
    const auto start = std::chrono::steady_clock::now();
    const int r = usb_->ReadData(buffer, 4); // nothing was asked: the gauge stays silent
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r, -110);
    EXPECT_EQ(TLibUSB::ErrorText(r), QStringLiteral("LibUsb: Тайм-аут"));
    EXPECT_GE(waited, std::chrono::milliseconds(TLibUSB::TimeoutMs - 50));
    EXPECT_LT(waited, std::chrono::milliseconds(TLibUSB::TimeoutMs + 3000));
    // The library discarded its URB and reaped it, so the next exchange sees only its own answer.
    EXPECT_EQ(gadget_->Count("DISCARDURB"), 1);
    EXPECT_EQ(gadget_->Count("REAPURB 0"), 1);
    EXPECT_NE(Log().find("LibUsb ReadData(), 4 byte(s), ERROR LibUsb: Тайм-аут"), std::string::npos);

    char param[ParamTextSize];
    ASSERT_EQ(TGaugeProtocol(*usb_).ReqParam(param), ExchangeDone);
    EXPECT_STREQ(param, "LUM-1.2 SN 20417");
}

TEST_F(RealLibUsbTest, AnUnpluggedGaugeFailsTheTransferAndIsNotFoundAgain) {
    Plug(Gauge());
    ASSERT_EQ(usb_->FindDevice(), 0);
    ASSERT_EQ(ListedDevices(), 1);
    gadget_->Unplug(true);
    const uint8_t request[2] = {0x01, 0xFE};
    const int r = usb_->WriteData(request, 2);
    EXPECT_EQ(r, -19);
    EXPECT_EQ(TLibUSB::ErrorText(r), QStringLiteral("LibUsb: Нет такого устройства"));

    EXPECT_EQ(usb_->FindDevice(), 1);
    // The library's own rescan dropped the node that left /dev/bus/usb.
    EXPECT_EQ(ListedDevices(), 0);
    ASSERT_EQ(printed_.size(), 1u);
    EXPECT_EQ(printed_[0].rfind("Прибор не подключен к шине USB", 0), 0u) << printed_[0];
    uint8_t buffer[4];
    EXPECT_EQ(usb_->ReadData(buffer, 4), TLibUSB::NoDeviceResult);
}

} // namespace
} // namespace lum1::test
