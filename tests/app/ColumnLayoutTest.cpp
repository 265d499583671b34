#include "app/ColumnLayout.h"

#include <gtest/gtest.h>

#include <numeric>

namespace lum1 {
namespace {

TEST(ColumnLayout, SharedWidthOf1000WithTheDefaults) {
    const int client = 1000 + 45 + 125 + 11;
    const ColWidths w = ComputeColumnWidths(DefaultColWidths, client);
    const ColWidths expected = {45, 125, 91, 113, 108, 107, 119, 241, 151, 77, 100};
    EXPECT_EQ(w, expected);
    EXPECT_EQ(std::accumulate(w.begin() + 2, w.end(), 0), 1107);

    // Each share is the column's width times 10000/1107, truncated.
    const ColWidths stored = StoredWidthsFromGrid(DefaultColWidths, w);
    const ColWidths expectedStored = {45, 125, 822, 1020, 975, 966, 1074, 2177, 1364, 695, 903};
    EXPECT_EQ(stored, expectedStored);
    EXPECT_EQ(std::accumulate(stored.begin() + 2, stored.end(), 0), 9996);
}

TEST(ColumnLayout, NarrowGridKeepsTheMinimumWidth) {
    const ColWidths w = ComputeColumnWidths(DefaultColWidths, 400);
    for (int i = 2; i < GridColumns; ++i)
        EXPECT_GE(w[i], MinScaledColumnWidth) << i;
    // Narrower than the fixed columns: every scaled column at the minimum, no wrap-around.
    const ColWidths tiny = ComputeColumnWidths(DefaultColWidths, 100);
    for (int i = 2; i < GridColumns; ++i)
        EXPECT_EQ(tiny[i], MinScaledColumnWidth) << i;
}

TEST(ColumnLayout, DraggedWidthsKeepTheirProportionsAndSumToAtMost10000) {
    ColWidths w = ComputeColumnWidths(DefaultColWidths, 1181);
    w[5] += 137; // the user widens column 5
    const ColWidths stored = StoredWidthsFromGrid(DefaultColWidths, w);
    const int sum = std::accumulate(stored.begin() + 2, stored.end(), 0);
    EXPECT_LE(sum, 10000);
    EXPECT_GE(sum, 9991);
    // The next layout scales every column by the same factor.
    const ColWidths again = ComputeColumnWidths(stored, 1181);
    const double before = std::accumulate(w.begin() + 2, w.end(), 0);
    const double after = std::accumulate(again.begin() + 2, again.end(), 0);
    for (int i = 2; i < GridColumns; ++i)
        EXPECT_NEAR((again[i] / after) / (w[i] / before), 1.0, 0.03) << i;
    // No column at all: the division is guarded.
    ColWidths zero{};
    EXPECT_EQ(StoredWidthsFromGrid(DefaultColWidths, zero)[2], 0);
}

// The documented default shares add up to 11072: loaded as they are, the columns would overflow
// every grid by a tenth until the first mouse release.
TEST(ColumnLayout, SharesAreNormalisedWhenLoadedAndAUsersOwnStayAsTheyAre) {
    ColWidths missing;
    missing.fill(NoStoredWidth);
    const ColWidths first = AcceptStoredWidths(missing);
    EXPECT_EQ(first, StoredWidthsFromGrid(DefaultColWidths, DefaultColWidths));
    for (int client = 1024; client <= 1920; client += 128) {
        const ColWidths w = ComputeColumnWidths(first, client);
        // Every column with its one-pixel line fits the grid; the carry leaves at most a pixel.
        const int total = std::accumulate(w.begin(), w.end(), 0) + GridColumns;
        EXPECT_LE(total, client) << client;
        EXPECT_GE(total, client - 2) << client;
    }
    // Shares a mouse release stored stay to the last unit; hand-edited ones are scaled as a
    // release would scale them.
    const ColWidths released =
        StoredWidthsFromGrid(DefaultColWidths, ComputeColumnWidths(DefaultColWidths, 1181));
    EXPECT_EQ(AcceptStoredWidths(released), released);
    const ColWidths halves = {45, 125, 500, 500, 500, 500, 500, 500, 500, 500, 1000};
    EXPECT_EQ(AcceptStoredWidths(halves),
              (ColWidths{45, 125, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 2000}));
}

TEST(ColumnLayout, StoredWidthsAreAllOrNothing) {
    const ColWidths good = {45, 125, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 2000};
    EXPECT_EQ(AcceptStoredWidths(good), good);
    const struct {
        int index;
        int value;
    } bad[] = {{7, NoStoredWidth}, {0, NoStoredWidth}, {3, -1}, {0, -45}, {1, 5000}, {10, 10001}};
    for (const auto& b : bad) {
        ColWidths w = good;
        w[b.index] = b.value;
        EXPECT_EQ(AcceptStoredWidths(w), NormaliseShares(DefaultColWidths)) << b.index << "=" << b.value;
    }
}

} // namespace
} // namespace lum1
