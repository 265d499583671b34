#include "DeviceFixture.h"

#include <gmock/gmock.h>

namespace lum1::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class LibUSBTest : public DeviceTest {};

TEST_F(LibUSBTest, LoadsTheLibraryFoundOnTheLibraryPathAndResolvesTheLinuxNames) {
    ASSERT_EQ(usb_->Initialize(), 0);
    EXPECT_TRUE(usb_->IsLoaded());
    EXPECT_EQ(usb_->ResolvedNames(), 25);
    const std::string simDir = qEnvironmentVariable("LUM1_SIM_DIR").toStdString();
    EXPECT_EQ(usb_->LoadedFile(), simDir + "/libusb-0.1.so.4");
    EXPECT_EQ(usb_->Initialize(), 0); // already loaded: banner only
    EXPECT_THAT(LogLines(),
                ElementsAre("=============================", "=    Initialize LibUsb      =",
                            "=============================", "LoadLibrary(\"libusb-0.1.so.4\");",
                            "LibUsb loaded! (" + simDir + "/libusb-0.1.so.4)", "Library initialize...",
                            "Library initialized!", "=============================",
                            "=    Initialize LibUsb      =", "============================="));
}

TEST_F(LibUSBTest, MissingLibraryOrMissingNamesLeaveItUnloaded) {
    TLibUSB absent(log_.get(), "libusb-absent.so.4");
    EXPECT_EQ(absent.Initialize(), 1);
    EXPECT_FALSE(absent.IsLoaded());
    EXPECT_THAT(LogLines(),
                ElementsAre("=============================", "=    Initialize LibUsb      =",
                            "=============================", "LoadLibrary(\"libusb-absent.so.4\");"));
    TLibUSB other(nullptr, "libz.so.1"); // loads, but has none of the names
    EXPECT_EQ(other.Initialize(), 2);
    EXPECT_FALSE(other.IsLoaded());
}

TEST(LibUSBErrorText, IsKeyedByTheMeaningOfLinuxErrorNumbers) {
    const std::pair<int, const char*> cases[] = {
        {-110, "LibUsb: Тайм-аут"},             // ETIMEDOUT on Linux
        {-19, "LibUsb: Нет такого устройства"}, // gauge unplugged
        {-32, "LibUsb: Обрыв в канале"},
        {-16, "LibUsb: strerror reports \"Resource device\""},
        {-36, "LibUsb: Слишком длинное имя файла"}, // ENAMETOOLONG is 36 here, 38 on Windows
        {0, ""},
        {-116, "LibUsb: Error -116"}, // the Windows time-out number means nothing here
        {-15, "LibUsb: Error -15"},
        {3, "LibUsb: Error 3"},
    };
    for (const auto& [code, text] : cases)
        EXPECT_EQ(TLibUSB::ErrorText(code), QString::fromUtf8(text)) << code;
}

struct FindCase {
    const char* Name;
    const char* Scenario;
    int Result;
    bool DeviceV2;
    int OpenedGauge; // index in the trace's "usb_open n", -1: none
};

class FindDeviceTest : public DeviceTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindDeviceTest, TakesTheFirstGaugeInBusAndDeviceOrder) {
    const FindCase& c = GetParam();
    Load(c.Scenario);
    usb_->DeviceV2 = !c.DeviceV2;
    EXPECT_EQ(usb_->FindDevice(), c.Result);
    if (c.Result == 0) {
        EXPECT_EQ(usb_->DeviceV2.load(), c.DeviceV2);
    }
    EXPECT_EQ(SimControl::Count("usb_open " + std::to_string(c.OpenedGauge)), c.OpenedGauge >= 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindDeviceTest,
    ::testing::Values(
        FindCase{"WrongProductSkipped", "[gauge]\nvendor=0x03EB\nproduct=0x0132\n[gauge]\nversion=2\n", 0,
                 true, 1},
        FindCase{"Version1ClearsV2", "[gauge]\nversion=1\n", 0, false, 0},
        FindCase{"FirstOnTheFirstBus", "[gauge]\nversion=2\nbus=2\n[gauge]\nversion=1\nbus=1\n", 0, false, 1},
        FindCase{"FirstInTheDeviceList", "[gauge]\nversion=2\n[gauge]\nversion=1\n", 0, true, 0},
        FindCase{"NoGauge", "[gauge]\nvendor=0x1234\n", 1, false, -1}),
    [](const auto& info) { return info.param.Name; });

TEST_F(LibUSBTest, NoGaugeShowsTheFixedTextOfTheInterfaceLanguage) {
    Load("[gauge]\nplugged=0\n");
    EXPECT_EQ(usb_->FindDevice(), 1);
    english_ = true;
    EXPECT_EQ(usb_->FindDevice(), 1);
    EXPECT_THAT(
        window_.Events(),
        ElementsAre(
            "error:Прибор не подключен к шине USB или выключен. Включите прибор, подключите его к шине "
            "USB и перезапустите программу.",
            "error:The device is not connected to the USB bus or is turned off. Turn on the device, "
            "connect it to the USB bus and restart the program."));
    EXPECT_EQ(LogLines().back(), "Device NOT found!");
}

TEST_F(LibUSBTest, KeepsAnOpenGaugeWhileTheBusIsUnchanged) {
    Load("[gauge]\n");
    EXPECT_EQ(usb_->FindDevice(), 0);
    EXPECT_EQ(usb_->FindDevice(), 0);
    EXPECT_EQ(SimControl::Count("usb_open"), 1);
    EXPECT_EQ(SimControl::Count("usb_set_configuration 1"), 1);
    EXPECT_EQ(SimControl::Count("usb_claim_interface 0"), 1);
    // Unplugged: the next search closes the handle it held instead of forgetting it.
    SimControl::SetPlugged(0, false);
    EXPECT_EQ(usb_->FindDevice(), 1);
    EXPECT_EQ(SimControl::Count("usb_close"), 1);
}

TEST_F(LibUSBTest, TransfersAreLoggedWithLengthResultAndFirstBytes) {
    Load("[gauge]\nversion=2\nparam=ABCDEFGH\ntimeout_at=4\n");
    ASSERT_EQ(usb_->FindDevice(), 0);
    const uint8_t req[2] = {0x01, 0xFE};
    uint8_t buf[90] = {};
    EXPECT_EQ(usb_->WriteData(req, 2), 2);
    EXPECT_EQ(usb_->ReadData(buf, 4), 4);
    EXPECT_EQ(usb_->ReadData(buf, 8), 8);
    EXPECT_EQ(usb_->ReadData(buf, 4), -110); // transfer 4 times out
    EXPECT_EQ(SimControl::Count("len=4 timeout=2000 -> -110"), 1);
    usb_->CloseDevice();
    usb_->CloseDevice();
    const auto lines = LogLines();
    const std::vector<std::string> tail(lines.end() - 8, lines.end());
    EXPECT_THAT(tail, ElementsAre("LibUsb WriteData(), 2 byte(s), OK (01 FE)",
                                  "LibUsb ReadData(), 4 byte(s), OK (08 00 00 00)",
                                  "LibUsb ReadData(), 8 byte(s), OK (41 42 43 44)",
                                  "LibUsb ReadData(), 4 byte(s), ERROR LibUsb: Тайм-аут",
                                  "Device closed! (DeviceHandle=NULL)", "--------------",
                                  "Device closed! (DeviceHandle=NULL)", "--------------"));
}

TEST_F(LibUSBTest, ShortAndEmptyReadsAreErrorsReturnedUnchanged) {
    Load("[gauge]\nparam=AB\n");
    ASSERT_EQ(usb_->FindDevice(), 0);
    const uint8_t req[2] = {0x01, 0xFE};
    uint8_t buf[8] = {};
    usb_->WriteData(req, 2);
    usb_->ReadData(buf, 4);
    EXPECT_EQ(usb_->ReadData(buf, 8), 2);
    EXPECT_THAT(LogLines().back(), "LibUsb ReadData(), 8 byte(s), ERROR LibUsb: Error 2");
    // A read that brings nothing has the empty text of 0: the line ends in "ERROR " with its blank.
    Load("[gauge]\nshort_read_at=2\nshort_read_length=0\n");
    ASSERT_EQ(usb_->FindDevice(), 0);
    usb_->WriteData(req, 2);
    EXPECT_EQ(usb_->ReadData(buf, 4), 0);
    EXPECT_EQ(LogLines().back(), "LibUsb ReadData(), 4 byte(s), ERROR ");
}

TEST_F(LibUSBTest, EachCloseIsLoggedOnce) {
    const std::vector<std::string> deviceThenLibrary = {"Device closed! (DeviceHandle=NULL)",
                                                        "--------------", "LibUsb close...", "LibUsb closed!",
                                                        "============================="};
    // The window takes over the close when the thread has not unloaded the library in time.
    Load("[gauge]\n");
    ASSERT_EQ(usb_->FindDevice(), 0);
    const size_t before = LogLines().size();
    EXPECT_TRUE(usb_->CloseLibraryIfIdle());
    auto lines = LogLines();
    EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(before), lines.end()),
              deviceThenLibrary);
    // The object's end after a close logs nothing more.
    usb_.reset();
    EXPECT_EQ(LogLines().size(), lines.size());
}

TEST_F(LibUSBTest, CloseLibraryUnloadsAndTransfersAfterwardsNeverCallIn) {
    TLibUSB idle(log_.get(), "libusb-absent.so.4");
    idle.CloseLibrary();
    EXPECT_THAT(LogLines(),
                ElementsAre("LibUsb close...", "LibUsb closed!", "============================="));
    Load("[gauge]\n");
    ASSERT_EQ(usb_->FindDevice(), 0);
    usb_->CloseLibrary();
    EXPECT_FALSE(usb_->IsLoaded());
    uint8_t buf[4];
    EXPECT_EQ(usb_->ReadData(buf, 4), TLibUSB::NoDeviceResult);
}

} // namespace
} // namespace lum1::test
