#include "results/ResultsTable.h"

#include "QtPrinters.h"
#include "RecordFixture.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>
#include <numeric>

namespace lum1 {
namespace {

using test::Context;
using test::SampleRecord;
using test::TableLookup;

std::vector<int> AllColumns() {
    std::vector<int> c(ResultColumns);
    std::iota(c.begin(), c.end(), 0);
    return c;
}

struct ResultsTableTest : ::testing::Test {
    std::unique_ptr<TRecordStore> store = std::make_unique<TRecordStore>();
    TResultsTable table;

    void SetUp() override { table.DataClear(TableLookup(true)); }

    void Store(std::initializer_list<uint16_t> numbers) {
        store->RecordCount = 0;
        for (uint16_t n : numbers)
            store->Records[static_cast<size_t>(store->RecordCount++)] = SampleRecord(n);
    }
};

TEST_F(ResultsTableTest, TitlesInBothLanguages) {
    const char* english[2][ResultColumns] = {
        {"№", "Time, date", "Density", "Compaction ", "Porosity", "Temperature", "Object", "Coordinates",
         "Material", "Layer", "Number"},
        {"", "", "kg/m^3", "factor", "%", "°C", "", "", "", "thickness, mm", "of meas."}};
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < ResultColumns; ++col)
            EXPECT_EQ(table.Cell(col, row), QString::fromUtf8(english[row][col])) << row << "," << col;

    table.TitleFill(TableLookup(false));
    EXPECT_EQ(table.Cell(3, 0), QString::fromUtf8("Коэффициент "));
    EXPECT_EQ(table.Cell(3, 1), QString::fromUtf8("уплотнения"));
    EXPECT_EQ(table.headerData(2, Qt::Horizontal), QString::fromUtf8("Плотность\nкг/м^3"));
    EXPECT_EQ(table.headerData(0, Qt::Vertical), QString());
}

TEST_F(ResultsTableTest, FillsInBothOrdersAndShowsTheCount) {
    Store({7, 8, 9});
    for (int order : {0, 1}) {
        table.DataClear(TableLookup(true));
        table.FillDataTable(order, *store, Context(true));
        ASSERT_EQ(table.GridRowCount(), 5);
        ASSERT_EQ(table.rowCount(), 3);
        EXPECT_TRUE(table.ShowsRecords());
        EXPECT_EQ(table.Cell(0, 1), "(3)");
        EXPECT_EQ(table.headerData(0, Qt::Horizontal), QString::fromUtf8("№\n(3)"));
        const std::vector<int> numbers = order == 0 ? std::vector{7, 8, 9} : std::vector{9, 8, 7};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(store->DisplayOrder[static_cast<size_t>(i)], order == 0 ? i : 2 - i);
            EXPECT_EQ(table.data(table.index(i, 0)), QString::number(numbers[static_cast<size_t>(i)]));
            const TRowTexts expected =
                RowTexts(SampleRecord(static_cast<uint16_t>(numbers[static_cast<size_t>(i)])), Context(true));
            for (int col = 0; col < ResultColumns; ++col)
                EXPECT_EQ(table.Cell(col, i + 2), expected[static_cast<size_t>(col)]);
        }
    }
    table.TitleFill(TableLookup(false)); // a language switch: new titles, old data, no count
    EXPECT_EQ(table.Cell(0, 1), "");
    EXPECT_EQ(table.Cell(1, 2), "14:05:09 (may  5, 2019)");
}

TEST_F(ResultsTableTest, EmptyStoreAndClearShowNoRecord) {
    Store({1});
    table.FillDataTable(0, *store, Context(true));
    table.DataClear(TableLookup(true));
    EXPECT_EQ(table.GridRowCount(), 3);
    EXPECT_EQ(table.rowCount(), 1);
    EXPECT_FALSE(table.ShowsRecords());
    for (int col = 0; col < ResultColumns; ++col)
        EXPECT_EQ(table.Cell(col, 2), "") << col;
    EXPECT_EQ(table.Cell(0, 1), "");
    EXPECT_EQ(table.CopyText({0, 1, 2}, AllColumns()), "");

    Store({});
    table.FillDataTable(0, *store, Context(true));
    EXPECT_EQ(table.GridRowCount(), 2);
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_EQ(table.Cell(0, 1), "(0)");
    EXPECT_FALSE(table.ShowsRecords());
    EXPECT_EQ(table.CopyText({0, 1}, AllColumns()), "");
}

TEST_F(ResultsTableTest, CopyTextOfAllRowsAndOfASelection) {
    Store({1, 2});
    table.FillDataTable(0, *store, Context(true));
    const QString all = table.CopyText({0, 1, 2, 3}, AllColumns());
    const QStringList lines = all.split("\r\n");
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[0],
              QString::fromUtf8("№\tTime, date\tDensity\tCompaction \tPorosity\tTemperature\tObject\t"
                                "Coordinates\tMaterial\tLayer\tNumber"));
    EXPECT_EQ(lines[1], QString::fromUtf8("(2)\t\tkg/m^3\tfactor\t%\t°C\t\t\t\tthickness, mm\tof meas."));
    EXPECT_EQ(lines[2], QString::fromUtf8("1\t14:05:09 (may  5, 2019)\t2352\t0.980\t2.0\t23.5\tRoad M4\t- -\t"
                                          "Асфальт\t40\t3"));
    EXPECT_TRUE(lines[3].startsWith("2\t"));
    EXPECT_EQ(all.count(u'\t'), 4 * 10);
    EXPECT_FALSE(all.contains("\t\r\n")); // the last column of every line has text here

    // Rows and columns in the places the user dragged them to.
    EXPECT_EQ(table.CopyText({3, 2}, {5, 0}), "23.5\t2\r\n23.5\t1\r\n");
    EXPECT_EQ(table.CopyText({2}, {9}), "40\r\n");
}

// At every yield a view must find the model consistent: the rows it was told about exist.
TEST_F(ResultsTableTest, FillIsConsistentAtEveryYield) {
    Store({1, 2, 3, 4});
    QSignalSpy inserted(&table, &QAbstractItemModel::rowsInserted);
    std::vector<int> seen;
    table.FillDataTable(1, *store, Context(true), [&] {
        const int rows = table.rowCount();
        seen.push_back(rows);
        EXPECT_EQ(table.GridRowCount(), rows + 2);
        EXPECT_EQ(table.data(table.index(rows - 1, 0)), QString::number(4 - (rows - 1)));
    });
    EXPECT_EQ(seen, (std::vector{1, 2, 3, 4}));
    EXPECT_EQ(inserted.count(), 4);
}

// A clear or fill run from inside a yield (a command the user gave meanwhile) wins; the
// interrupted fill stops instead of appending its remaining rows to the new contents.
TEST_F(ResultsTableTest, ACommandRunDuringAYieldSupersedesTheFill) {
    Store({1, 2, 3});
    int yields = 0;
    table.FillDataTable(0, *store, Context(true), [&] {
        if (++yields == 1) {
            table.DataClear(TableLookup(true));
            Store({5, 6});
            table.FillDataTable(0, *store, Context(true));
        }
    });
    EXPECT_EQ(yields, 1);
    EXPECT_EQ(table.GridRowCount(), 4);
    EXPECT_EQ(table.Cell(0, 1), "(2)");
    EXPECT_EQ(table.Cell(0, 2), "5");
    EXPECT_EQ(table.Cell(0, 3), "6");
}

TEST_F(ResultsTableTest, OutOfRangeCountAndCellsAreHarmless) {
    store->RecordCount = MaxRecords + 100;
    table.FillDataTable(0, *store, Context(true));
    EXPECT_EQ(table.GridRowCount(), MaxRecords + 2);
    store->RecordCount = -5;
    table.FillDataTable(0, *store, Context(true));
    EXPECT_EQ(table.GridRowCount(), 2);
    EXPECT_EQ(table.Cell(11, 0), "");
    EXPECT_EQ(table.Cell(-1, 0), "");
    EXPECT_EQ(table.Cell(0, 99), "");
}

} // namespace
} // namespace lum1
