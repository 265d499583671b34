#include "QtPrinters.h"
#include "TempDir.h"

#include "diag/ExchangeLog.h"

#include <gtest/gtest.h>

namespace lum1::test {
namespace {

class ExchangeLogTest : public ::testing::Test {
protected:
    TExchangeLog& Log(bool enabled) {
        log_ = std::make_unique<TExchangeLog>(dir_.File("LogUSB.log"), [enabled] { return enabled; },
                                              [this] { return now_; });
        return *log_;
    }
    QByteArray File() const { return dir_.Read("LogUSB.log"); }

    TempDir dir_;
    QDateTime now_{QDate(2025, 12, 9), QTime(14, 3, 26, 114)};
    std::unique_ptr<TExchangeLog> log_;
};

TEST_F(ExchangeLogTest, SwitchedOffWritesNoFile) {
    auto& log = Log(false);
    log.LogBegin();
    log.LogUSBWrite("LibUsb loaded!");
    EXPECT_FALSE(QFile::exists(dir_.File("LogUSB.log")));
}

TEST_F(ExchangeLogTest, EachStartAddsAHeaderAndLinesAreTimeStampedAndFlattened) {
    Log(true).LogBegin();
    auto& log = Log(true);
    log.LogBegin();
    log.LogUSBWrite("abc\r\n");
    log.LogUSBWrite("a\r\nb");
    log.LogUSBWrite("\r\n\r\nabc");
    log.LogUSBWrite("LibUsb ReadData(), 4 byte(s), ERROR ");
    EXPECT_EQ(File(), "\r\n========== 09.12.2025 ==========\r\n"
                      "\r\n========== 09.12.2025 ==========\r\n"
                      "14:03:26.114 abc\r\n"
                      "14:03:26.114 a  b\r\n"
                      "14:03:26.114 abc\r\n"
                      "14:03:26.114 LibUsb ReadData(), 4 byte(s), ERROR \r\n");
}

TEST_F(ExchangeLogTest, NewDayGetsOneHeaderBeforeItsFirstLine) {
    auto& log = Log(true);
    log.LogBegin();
    log.LogUSBWrite("one");
    now_ = QDateTime(QDate(2025, 12, 10), QTime(0, 0, 0, 600));
    log.LogUSBWrite("two");
    log.LogUSBWrite("three");
    EXPECT_EQ(File(), "\r\n========== 09.12.2025 ==========\r\n14:03:26.114 one\r\n"
                      "\r\n========== 10.12.2025 ==========\r\n00:00:00.600 two\r\n00:00:00.600 three\r\n");
}

TEST_F(ExchangeLogTest, FirstLineAfterMidnightOfAStartJustBeforeItGetsNoSecondHeader) {
    now_ = QDateTime(QDate(2025, 12, 9), QTime(23, 59, 59, 500));
    auto& log = Log(true);
    log.LogBegin();
    now_ = QDateTime(QDate(2025, 12, 10), QTime(0, 0, 0, 600));
    log.LogUSBWrite("first");
    EXPECT_EQ(File(), "\r\n========== 09.12.2025 ==========\r\n00:00:00.600 first\r\n");
}

TEST_F(ExchangeLogTest, DeletedFileDropsLinesUntilTheNextHeader) {
    auto& log = Log(true);
    log.LogBegin();
    QFile::remove(dir_.File("LogUSB.log"));
    log.LogUSBWrite("lost");
    EXPECT_FALSE(QFile::exists(dir_.File("LogUSB.log")));
}

} // namespace
} // namespace lum1::test
