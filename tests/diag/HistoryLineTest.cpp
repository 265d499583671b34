#include "diag/HistoryLine.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(HistoryLine, TenthsAreCutNotRounded) {
    EXPECT_EQ(HistoryLine(QTime(14, 3, 27, 561), "Чтение данных из прибора"), "14:03:27,5: Чтение данных из прибора");
    EXPECT_EQ(HistoryLine(QTime(9, 5, 7, 99), "x"), "09:05:07,0: x");
    EXPECT_EQ(HistoryLine(QTime(23, 59, 59, 999), ""), "23:59:59,9: ");
}

} // namespace
} // namespace lum1
