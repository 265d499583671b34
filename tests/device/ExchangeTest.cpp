// Operations run pass by pass against the simulator, with a recorder for the window.
#include "DeviceFixture.h"

#include "../../sim/DefaultGauge.h"

#include <gmock/gmock.h>

#include <cstring>

namespace lum1::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Not;

class ExchangeTest : public DeviceTest {};

TEST_F(ExchangeTest, DataReadShowsProgressFillsTheTableAndEndsItsWait) {
    Load("[gauge]\nversion=2\nparam=LUM-1.2 SN 7\nrecords=5\n");
    EXPECT_TRUE(exchange_->AReadExecute(Passes()));
    EXPECT_EQ(exchange_->USBState.load(), stClose); // the wait ends before the gauge is closed
    RunUntilIdle();
    EXPECT_THAT(window_.Events(),
                ElementsAre("link:green", "progress:start", "link:green", "status:<USBRdParam>", "clear",
                            "status:<USBRdResult>", "link:green", "progress:0", "progress:200", "progress:400",
                            "progress:600", "progress:800", "fill", "status:LUM-1.2 SN 7; <USBDataReaded> (5)",
                            "progress:hide", "link:grey"));
    // Records byte for byte, except AverNum 0 (record 16 of the default archive) stored as 1.
    ASSERT_EQ(store_->RecordCount.load(), 5);
    const auto sent = sim::MakeDefaultRecords(5);
    EXPECT_EQ(std::memcmp(store_->Records.data(), sent.data(), sent.size()), 0);
    EXPECT_EQ(exchange_->USBState.load(), stIdle);
    EXPECT_EQ(LogLines().back(), "--------------"); // the gauge was closed
}

TEST_F(ExchangeTest, AverNumZeroIsStoredAsOneAndNothingElseChanges) {
    Load("[gauge]\nrecords=16\n"); // record 16 (index 15) comes with AverNum 0
    Run(TOperation::DataRead);
    auto sent = sim::MakeDefaultRecords(16);
    ASSERT_EQ(sent[15 * 90 + 86], 0);
    sent[15 * 90 + 86] = 1;
    ASSERT_EQ(store_->RecordCount.load(), 16);
    EXPECT_EQ(std::memcmp(store_->Records.data(), sent.data(), sent.size()), 0);
}

struct CountCase {
    int Version;
    const char* Block;
    const char* Status; // the status that ends the read ("" for a read that goes on)
    int RecordsRead;
};

class CountBlockTest : public DeviceTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountBlockTest, CountBlockDecidesHowTheReadEnds) {
    const CountCase& c = GetParam();
    Load("[gauge]\nversion=" + std::to_string(c.Version) + "\nparam=P\nrecords=" + std::to_string(c.RecordsRead) +
         "\ncount_block=" + c.Block + "\n");
    store_->RecordCount = 7; // what an earlier read left
    const bool ok = exchange_->AReadExecute(Passes());
    EXPECT_EQ(ok, std::string(c.Status).empty());
    RunUntilIdle();
    EXPECT_EQ(SimControl::Count("usb_bulk_write ep=01 len=2 timeout=2000 03 FC"), c.Status[0] ? 0 : 1);
    EXPECT_EQ(store_->RecordCount.load(), c.Status[0] ? 7 : c.RecordsRead);
    const auto statuses = window_.Of("status:");
    if (c.Status[0]) {
        EXPECT_EQ(statuses.back(), std::string("status:") + c.Status);
        EXPECT_THAT(window_.Events(), Not(Contains("fill")));
        EXPECT_EQ(window_.Events().back(), "link:grey"); // closed normally, no failure path
    }
}

INSTANTIATE_TEST_SUITE_P(Blocks, CountBlockTest,
                         ::testing::Values(CountCase{1, "01 5A E8 03", "", 1000}, CountCase{2, "01 5A E8 03", "", 1000},
                                           CountCase{1, "01 5A E9 03", "<USBTooManyRecords>", 0},
                                           CountCase{2, "01 5A E9 03", "", 1001}, CountCase{2, "01 5A C4 09", "", 2500},
                                           CountCase{2, "01 5A C5 09", "<USBTooManyRecords>", 0},
                                           CountCase{2, "02 5A 01 00", "<USBBadFormat>", 1},
                                           CountCase{2, "01 50 01 00", "<USBBadFormat>", 1},
                                           CountCase{2, "01 5A 00 00", "P; <USBNoRecords>", 0}));

TEST_F(ExchangeTest, CountHeadNotFourIsABadFormatThenTheFailurePathWithDrain) {
    Load("[gauge]\nparam=P\ncount_head=8\n");
    EXPECT_FALSE(exchange_->AReadExecute(Passes()));
    EXPECT_THAT(window_.Events(), ElementsAre("link:green", "progress:start", "link:green", "status:<USBRdParam>",
                                              "clear", "status:<USBBadFormat>", "status:LibUsb: Error 4", "link:red",
                                              "progress:hide"));
    // The count block still waiting in the gauge is read byte by byte until a read brings none.
    const auto lines = LogLines();
    const std::vector<std::string> tail(lines.end() - 8, lines.end());
    EXPECT_THAT(tail, ElementsAre("LibUsb ReadData(), 4 byte(s), OK (08 00 00 00)", "LibUsb ReadData(), 1 byte(s), OK (01)",
                                  "LibUsb ReadData(), 1 byte(s), OK (5A)", "LibUsb ReadData(), 1 byte(s), OK (2C)",
                                  "LibUsb ReadData(), 1 byte(s), OK (01)", "LibUsb ReadData(), 1 byte(s), ERROR LibUsb: Тайм-аут",
                                  "Device closed! (DeviceHandle=NULL)", "--------------"));
    EXPECT_THAT(sleeps_, ElementsAre(100));
    // A red link stays for a moment before the next operation turns it green.
    Load("[gauge]\nrecords=1\n");
    Run(TOperation::DataRead);
    EXPECT_EQ(window_.Events().front(), "link:green");
    EXPECT_THAT(sleeps_, ElementsAre(100, 20));
}

struct ParamCase {
    const char* Name;
    std::string Scenario;
    QByteArray Text;
};

class ParamTextTest : public DeviceTest, public ::testing::WithParamInterface<ParamCase> {};

TEST_P(ParamTextTest, ParamTextRules) {
    Load("[gauge]\n" + GetParam().Scenario + "\nrecords=0\n");
    Run(TOperation::DataRead);
    EXPECT_EQ(exchange_->ParamTextBytes(), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(
    Heads, ParamTextTest,
    ::testing::Values(ParamCase{"HeadZero", "param_head=0", ""},
                      ParamCase{"HeadHundredGivesSixtyThree", "param_head=100\nparam=" + std::string(100, 'x'),
                                QByteArray(63, 'x')},
                      ParamCase{"InnerZerosBecomeBlanks", "param_bytes=41 00 42 00 00 43", "A B  C"},
                      ParamCase{"ShortAnswerGivesWhatArrived", "param_head=20\nparam=abc", "abc"},
                      ParamCase{"Cyrillic", "param=Плотномер", QByteArray("\xCF\xEB\xEE\xF2\xED\xEE\xEC\xE5\xF0")}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ExchangeTest, DecodedParamTextPrefixesTheEmptyArchiveMessage) {
    Load("[gauge]\nparam=Плотномер\nrecords=0\n");
    Run(TOperation::DataRead);
    EXPECT_EQ(window_.Of("status:").back(), "status:Плотномер; <USBNoRecords>");
}

struct ScreenCase {
    const char* Name;
    const char* Scenario; // the vendor is the other version's, so that only the head can set DeviceV2
    bool V2After;
    int Picture;
    int BlocksRead;
    bool BadHead;
};

class ScreenHeadTest : public DeviceTest, public ::testing::WithParamInterface<ScreenCase> {};

TEST_P(ScreenHeadTest, ScreenHeadSetsTheVersionAndTheBlockCount) {
    const ScreenCase& c = GetParam();
    Load(std::string("[gauge]\n") + c.Scenario + "\n");
    auto buffer = std::make_shared<std::vector<uint8_t>>(ScreenBufferSize, 0xEE);
    ASSERT_TRUE(exchange_->SetScreenBuffer(buffer));
    EXPECT_TRUE(exchange_->RunAndWait(TOperation::ScreenRead, Passes()));
    RunUntilIdle();
    EXPECT_EQ(usb_->DeviceV2.load(), c.V2After);
    EXPECT_EQ(SimControl::Count("usb_bulk_read ep=82 len=64 timeout=2000 -> 64"), c.BlocksRead);
    const auto statuses = window_.Of("status:");
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "status:<USBErrScreenLen>"), c.BadHead ? 1 : 0);
    // The thread never says the picture was saved: only the window knows whether it was.
    EXPECT_EQ(statuses.back(), c.BadHead ? "status:<USBErrScreenLen>" : "status:<USBScrRead>");
    const auto expected = sim::MakeScreenPicture(c.Picture);
    EXPECT_EQ(std::memcmp(buffer->data(), expected.data(), expected.size()), 0);
    if (c.BlocksRead < ScreenBlocksV2) {
        EXPECT_EQ((*buffer)[static_cast<size_t>(c.BlocksRead) * 64], 0xEE);
    }
    const auto progress = window_.Of("progress:");
    ASSERT_GE(progress.size(), 2u);
    EXPECT_EQ(progress[progress.size() - 2], "progress:999"); // (B-1)*1000/B
}

INSTANTIATE_TEST_SUITE_P(
    Heads, ScreenHeadTest,
    ::testing::Values(ScreenCase{"Head9600", "version=1\nvendor=0x0483", false, 1, 9600, false},
                      ScreenCase{"Head18000", "version=2\nvendor=0x03EB", true, 2, 18000, false},
                      ScreenCase{"Head12345KeepsTheFlag", "version=2\nvendor=0x03EB\nscreen_head=12345", false, 2, 18000, true}),
    [](const auto& info) { return info.param.Name; });

TEST_F(ExchangeTest, ScreenHeadWithFewerBlocksEndsInATimeOut) {
    Load("[gauge]\nversion=1\nscreen_head=12345\n"); // sends 9600 blocks, 18000 are read
    EXPECT_FALSE(exchange_->RunAndWait(TOperation::ScreenRead, Passes()));
    EXPECT_THAT(window_.Of("status:"), ElementsAre("status:<USBScrRead>", "status:<USBErrScreenLen>", "status:LibUsb: Тайм-аут"));
}

struct FailCase {
    const char* Name;
    const char* Faults;
    const char* Status;
    int RecordsKept;
};

class TransferFailureTest : public DeviceTest, public ::testing::WithParamInterface<FailCase> {};

// Transfers of a data read: 1-3 ReqParam, 4-6 ReqCount, 7-8 ReqRecords head, 9.. one per record.
TEST_P(TransferFailureTest, FailureMidRecordsKeepsTheRecordsSoFarAndLeavesTheTableEmpty) {
    const FailCase& c = GetParam();
    Load(std::string("[gauge]\nrecords=50\n") + c.Faults + "\n");
    EXPECT_FALSE(exchange_->AReadExecute(Passes()));
    EXPECT_EQ(store_->RecordCount.load(), c.RecordsKept);
    EXPECT_THAT(window_.Events(), Not(Contains("fill")));
    EXPECT_THAT(window_.Events(), Contains(std::string("status:") + c.Status));
    EXPECT_THAT(window_.Events(), Contains("link:red"));
    EXPECT_EQ(window_.Events().back(), "progress:hide");
    EXPECT_EQ(exchange_->USBState.load(), stIdle);
}

INSTANTIATE_TEST_SUITE_P(Faults, TransferFailureTest,
                         ::testing::Values(FailCase{"TimeOut", "timeout_at=12", "LibUsb: Тайм-аут", 3},
                                           FailCase{"Unplugged", "unplug_at=20", "LibUsb: Нет такого устройства", 11},
                                           FailCase{"GarbageShortHead", "garbage_at=4\ngarbage_length=3", "LibUsb: Error 3", 0}),
                         [](const auto& info) { return info.param.Name; });

TEST_F(ExchangeTest, ShortRecordKeepsThePreviousRecordsBytesBeyondWhatArrived) {
    Load("[gauge]\nrecords=3\nshort_read_at=10\nshort_read_length=10\n");
    Run(TOperation::DataRead);
    const auto sent = sim::MakeDefaultRecords(3);
    ASSERT_EQ(store_->RecordCount.load(), 3);
    const auto* second = reinterpret_cast<const uint8_t*>(&store_->Records[1]);
    EXPECT_EQ(std::memcmp(second, &sent[90], 10), 0);
    EXPECT_EQ(std::memcmp(second + 10, &sent[10], 80), 0);
}

TEST_F(ExchangeTest, UnpluggedGaugeIsSearchedOnEveryPassUntilPluggedIn) {
    Load("[gauge]\nplugged=0\nrecords=2\n");
    exchange_->Events().DataRdEvent->SetEvent();
    for (int i = 0; i < 4; ++i)
        exchange_->Pass();
    EXPECT_EQ(exchange_->USBState.load(), stFindDevice);
    EXPECT_EQ(window_.Of("error:").size(), 3u);
    SimControl::SetPlugged(0, true);
    RunUntilIdle();
    EXPECT_EQ(store_->RecordCount.load(), 2);
    EXPECT_THAT(window_.Events(), Contains("fill"));
}

TEST_F(ExchangeTest, UnpluggedDuringAScreenSearchEndsWhenTheWindowSetsIdle) {
    Load("[gauge]\nplugged=0\n");
    exchange_->Events().ScreenRdEvent->SetEvent();
    exchange_->Pass();
    exchange_->Pass();
    EXPECT_EQ(exchange_->USBState.load(), stReadScreen);
    exchange_->USBState = stIdle; // the screen window's close
    exchange_->Pass();
    EXPECT_EQ(exchange_->OperationEnds(TOperation::ScreenRead), 1u);
    EXPECT_EQ(exchange_->CurrentOperation(), TOperation::None);
}

TEST_F(ExchangeTest, RequestsMadeWhileBusyFoldIntoOneReadServedAfterwards) {
    Load("[gauge]\nrecords=3\n");
    exchange_->Events().ScreenRdEvent->SetEvent();
    exchange_->Pass();
    exchange_->Events().DataRdEvent->SetEvent(); // two clicks while the screen is read
    exchange_->Events().DataRdEvent->SetEvent();
    RunUntilIdle();
    for (int i = 0; i < 5; ++i) {
        exchange_->Pass();
        RunUntilIdle();
    }
    EXPECT_EQ(SimControl::Count("03 FC"), 1);
    EXPECT_EQ(SimControl::Count("05 FA"), 1);
}

TEST_F(ExchangeTest, ReadRequestedWhileThePreviousOneClosesWaitsForItsOwnRead) {
    Load("[gauge]\nrecords=3\n");
    EXPECT_TRUE(exchange_->AReadExecute(Passes()));
    ASSERT_EQ(exchange_->USBState.load(), stClose); // done, the gauge not closed yet
    EXPECT_TRUE(exchange_->AReadExecute(Passes()));
    EXPECT_EQ(SimControl::Count("03 FC"), 2);
}

TEST_F(ExchangeTest, RequestsBeforeTheLibraryLoadedAreServedOnceItHas) {
    exchange_->Events().DataRdEvent->SetEvent();
    EXPECT_EQ(exchange_->USBState.load(), stLoadLibrary);
    exchange_->Pass(); // loads the default simulated gauge
    exchange_->Pass();
    RunUntilIdle();
    EXPECT_EQ(store_->RecordCount.load(), 300);
}

TEST_F(ExchangeTest, EEPROMStepTransfersNothingAndEndsItsWait) {
    Load("[gauge]\n");
    EXPECT_TRUE(exchange_->ARdEEPROMExecute(Passes()));
    EXPECT_THAT(window_.Events(), ElementsAre("link:grey", "progress:hide", "status:<USBEEPROMReaded>"));
    EXPECT_EQ(SimControl::Count("usb_bulk"), 0);
}

TEST_F(ExchangeTest, StoreIsHeldOffWhileTheReadFillsIt) {
    Load("[gauge]\nrecords=4\n");
    std::vector<std::pair<bool, bool>> seen; // (filling, store lock free) at each hand-over
    window_.SetOnEvent([&](const std::string& e) {
        if (e.rfind("progress:", 0) == 0 || e == "fill")
            seen.emplace_back(exchange_->StoreFilling(), exchange_->TryLockStore().owns_lock());
    });
    Run(TOperation::DataRead);
    ASSERT_GE(seen.size(), 6u);
    // progress:start, then four records being read, then the fill and progress:hide.
    EXPECT_EQ(seen[0], std::make_pair(false, true));
    for (size_t i = 1; i <= 4; ++i)
        EXPECT_EQ(seen[i], std::make_pair(true, false)) << i;
    EXPECT_EQ(seen[5], std::make_pair(false, true));
}

TEST_F(ExchangeTest, ScreenBufferSmallerThanAVersionTwoPictureIsRefused) {
    EXPECT_FALSE(exchange_->SetScreenBuffer(std::make_shared<std::vector<uint8_t>>(ScreenBufferSize - 1)));
    EXPECT_FALSE(exchange_->SetScreenBuffer(nullptr));
}

TEST_F(ExchangeTest, RawNoiseFromTheGaugeEndsInAMessageNeverAnOverrun) {
    const char* answers[] = {"FF FF FF FF FF FF FF FF", "40 00 00 00", "04 00 00 00 01 5A FF FF", "04 00 00 00 01 5A 10 00",
                             "50 46 00 00 01", "FF FF FF 7F"};
    for (const char* raw : answers) {
        Load(std::string("[gauge]\nraw_answer=") + raw + "\n");
        Run(TOperation::DataRead);
        Run(TOperation::ScreenRead);
        EXPECT_EQ(exchange_->USBState.load(), stIdle) << raw;
        EXPECT_LE(store_->RecordCount.load(), 1000) << raw;
    }
}

} // namespace
} // namespace lum1::test
