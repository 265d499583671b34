// The archive as a table: filters with their counts, a sort by each of the eleven columns in
// the order of what the table shows, and pages that together are the whole.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "results/RecordTexts.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>

namespace lum1 {
namespace {

// Twelve records that differ in every column: two of them deleted on the gauge, one a mode-2
// reading, two without a reference density, three without a position.
TMeasRecord Varied(int n) {
    TMeasRecord r = test::MakeRecords(1, n).front();
    r.Day = static_cast<uint8_t>(1 + n % 5);
    r.Seconds = n == 3 || n == 8 ? DeletedMark : static_cast<uint8_t>(n);
    r.Temperature = static_cast<float>((n * 13) % 17) - 3.25f;
    r.Thickness = static_cast<uint8_t>((n * 5) % 7 * 10);
    r.AverNum = static_cast<uint8_t>(n % 4);
    r.RefDensity = n % 5 == 0 ? 0.0f : 2400.0f + static_cast<float>((n % 3) * 20);
    r.Mode = n == 7 ? 2 : 0;
    r.Latitude = n % 4 == 0 ? 0 : ((5500 + (n * 7) % 13) << 16) * (n % 2 ? 1 : -1);
    r.Longitude = n % 4 == 0 ? 0 : (3700 + n) << 16;
    return r;
}

class ArchiveQueryTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TArchive archive;
    std::vector<TMeasRecord> records;
    qint64 lot = 0;

    void SetUp() override {
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        for (int n = 1; n <= 12; ++n)
            records.push_back(Varied(n));
        // Gauge A reads 1..8; a file brings 5..12; gauge B then reads 11 and 12.
        TDownloadInfo a;
        a.ParamText = "LUM-1.2 No 0417";
        ASSERT_TRUE(ArchiveDownload(archive, {records.data(), 8}, a).Ok());
        ASSERT_TRUE(ArchiveRecordsOfFile(archive, {records.data() + 4, 8}, "old.lum1").Ok());
        TDownloadInfo b;
        b.ParamText = "LUM-1.2 No 0552";
        ASSERT_TRUE(ArchiveDownload(archive, {records.data() + 10, 2}, b).Ok());
        TLot l;
        l.Name = "Lot";
        lot = CreateLot(archive, l).Id;
        ASSERT_EQ(AssignToLot(archive, IdsOf({2, 3, 4}), lot).Assigned, 3);
    }

    qint64 IdOf(int number) {
        for (const TArchiveRow& row : FetchRecords(archive, {}, {0, false}, 0, 100))
            if (row.Record.Number == number)
                return row.Id;
        return -1;
    }
    std::vector<qint64> IdsOf(std::initializer_list<int> numbers) {
        std::vector<qint64> ids;
        for (int n : numbers)
            ids.push_back(IdOf(n));
        return ids;
    }
    static std::set<int> Numbers(const std::vector<TArchiveRow>& rows) {
        std::set<int> numbers;
        for (const TArchiveRow& row : rows)
            numbers.insert(row.Record.Number);
        return numbers;
    }
};

TEST_F(ArchiveQueryTest, FiltersLetThroughWhatTheySayAndCountIt) {
    struct Case {
        const char* what;
        std::function<void(TArchiveFilter&)> set;
        std::function<bool(int)> passes;
    };
    const std::vector<Case> cases = {
        {"none", [](TArchiveFilter&) {}, [](int) { return true; }},
        {"no deleted", [](TArchiveFilter& f) { f.ShowDeleted = false; },
         [](int n) { return n != 3 && n != 8; }},
        {"from a day", [](TArchiveFilter& f) { f.From = QDate(2024, 6, 3); },
         [](int n) { return 1 + n % 5 >= 3; }},
        {"days 2 to 3",
         [](TArchiveFilter& f) {
             f.From = QDate(2024, 6, 2);
             f.To = QDate(2024, 6, 3);
         },
         [](int n) { return n % 5 == 1 || n % 5 == 2; }},
        {"another year", [](TArchiveFilter& f) { f.To = QDate(2023, 12, 31); }, [](int) { return false; }},
        {"object text in any case", [](TArchiveFilter& f) { f.Object = "road 1"; },
         [](int n) { return n % 3 == 1; }},
        {"object exact, other case",
         [](TArchiveFilter& f) {
             f.Object = "road 1";
             f.Exact = true;
         },
         [](int) { return false; }},
        {"object exact",
         [](TArchiveFilter& f) {
             f.Object = "Road 1";
             f.Exact = true;
         },
         [](int n) { return n % 3 == 1; }},
        {"material, Cyrillic in another case", [](TArchiveFilter& f) { f.Material = "сМЕСЬ"; },
         [](int n) { return n % 2 == 0; }},
        {"gauge A", [](TArchiveFilter& f) { f.Gauge = "0417"; }, [](int n) { return n <= 8; }},
        {"gauge B: learnt by records a file brought first", [](TArchiveFilter& f) { f.Gauge = "0552"; },
         [](int n) { return n >= 11; }},
        {"no such gauge", [](TArchiveFilter& f) { f.Gauge = "9999"; }, [](int) { return false; }},
        {"the lot", [this](TArchiveFilter& f) { f.Lot = lot; }, [](int n) { return n >= 2 && n <= 4; }},
        {"in no lot", [](TArchiveFilter& f) { f.Lot = NoLot; }, [](int n) { return n < 2 || n > 4; }},
        {"object, days and no deleted",
         [](TArchiveFilter& f) {
             f.Object = "Road 2";
             f.From = QDate(2024, 6, 1);
             f.To = QDate(2024, 6, 4);
             f.ShowDeleted = false;
         },
         [](int n) { return n % 3 == 2 && n % 5 != 4 && n != 8; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TArchiveFilter filter;
        c.set(filter);
        std::set<int> expected;
        qint64 deleted = 0;
        for (int n = 1; n <= 12; ++n)
            if (c.passes(n)) {
                expected.insert(n);
                deleted += n == 3 || n == 8;
            }
        EXPECT_EQ(Numbers(FetchRecords(archive, filter, {}, 0, 100)), expected);
        const TArchiveCounts counts = CountRecords(archive, filter);
        EXPECT_EQ(counts.Shown, static_cast<qint64>(expected.size()));
        EXPECT_EQ(counts.Deleted, deleted);
        EXPECT_EQ(counts.Total, 12);
        EXPECT_FALSE(archive.LastError());
    }
}

// What a column's cell says, as something to order by: numbers as numbers, the time by its
// fields, texts as texts; nothing for an empty cell.
using SortValue = std::optional<std::variant<double, QString, std::array<int, 6>, std::pair<int, int>>>;
SortValue ShownValue(const TMeasRecord& r, int column) {
    const TRowTexts texts = RowTexts(r, test::Context(true));
    QString text = texts[static_cast<size_t>(column)];
    switch (column) {
    case 1:
        return std::array<int, 6>{r.Year, r.Month, r.Day, r.Hours, r.Minutes, r.Seconds};
    case 6:
    case 8:
        return text;
    case 7:
        return std::pair<int, int>{r.Latitude, r.Longitude};
    default:
        text.remove(" (U)");
        if (text.isEmpty())
            return std::nullopt;
        return text.toDouble();
    }
}

TEST_F(ArchiveQueryTest, EveryColumnSortsByWhatTheTableShowsAndPagesMakeTheWhole) {
    for (int column = 0; column < ResultColumns; ++column) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(testing::Message() << "column " << column << (descending ? " descending" : ""));
            const TArchiveSort sort{column, descending};
            const std::vector<TArchiveRow> all = FetchRecords(archive, {}, sort, 0, 100);
            ASSERT_EQ(all.size(), 12u);
            bool emptySeen = false;
            for (size_t i = 1; i < all.size(); ++i) {
                const SortValue a = ShownValue(all[i - 1].Record, column),
                                b = ShownValue(all[i].Record, column);
                if (!b) {
                    emptySeen = true;
                    continue;
                }
                EXPECT_FALSE(emptySeen) << "an empty cell before a value at row " << i;
                ASSERT_TRUE(a.has_value());
                EXPECT_TRUE(descending ? !(*a < *b) : !(*b < *a)) << "rows " << i - 1 << " and " << i;
            }
            // Pages of five, read one after the other, are the same rows in the same order.
            std::vector<TArchiveRow> paged;
            for (qint64 offset = 0; offset < 12; offset += 5)
                for (const TArchiveRow& row : FetchRecords(archive, {}, sort, offset, 5))
                    paged.push_back(row);
            ASSERT_EQ(paged.size(), all.size());
            for (size_t i = 0; i < all.size(); ++i)
                EXPECT_EQ(paged[i].Id, all[i].Id);
        }
    }
}

TEST_F(ArchiveQueryTest, RowsCarryTheRecordTheirLotAndComeBackByIdInTheOrderAsked) {
    const std::vector<qint64> ids = IdsOf({9, 2, 5});
    const std::vector<TArchiveRow> rows = FetchRecordsById(archive, {ids[0], ids[1], 123456, ids[2]});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Record.Number, 9);
    EXPECT_EQ(rows[1].Record.Number, 2);
    EXPECT_EQ(rows[1].Lot, lot);
    EXPECT_EQ(rows[2].Lot, NoLot);
    EXPECT_EQ(test::RecordBytes(rows[0].Record), test::RecordBytes(records[8]));
    EXPECT_EQ(ObjectNames(archive), (QStringList{"Road 0", "Road 1", "Road 2"}));
    EXPECT_EQ(MaterialNames(archive), (QStringList{"Mix A", "Смесь Б"}));
}

} // namespace
} // namespace lum1
