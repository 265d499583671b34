// The archive window's model: a view over many records reads only the pages it shows, and every
// row, near the start or far down, is the record of that place with the main table's texts.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archiveui/ArchiveModel.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

constexpr int kRecords = 20000;

class ArchiveModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
        // One a minute: the time order is the order of the numbers.
        records = test::MakeRecords(kRecords);
        for (size_t i = 0; i < records.size(); ++i)
            records[i].Temperature = 20.25f + static_cast<float>(i % 7);
        for (size_t from = 0; from < records.size(); from += MaxRecords) {
            const size_t n = std::min<size_t>(MaxRecords, records.size() - from);
            ASSERT_TRUE(ArchiveDownload(archive, {records.data() + from, n}, {}).Ok());
        }
        model = std::make_unique<TArchiveModel>([this](TArchiveError*) {
            ++accesses;
            return &archive;
        });
        // A Russian table with a decimal comma.
        context = test::Context(false, u',');
        model->SetTexts(context, {});
    }

    QString Cell(int row, int column) const { return model->data(model->index(row, column)).toString(); }

    test::TempDir dir;
    TArchive archive;
    std::vector<TMeasRecord> records;
    TRecordTextContext context;
    std::unique_ptr<TArchiveModel> model;
    int accesses = 0;
};

TEST_F(ArchiveModelTest, AViewReadsOnlyThePagesItShows) {
    ASSERT_FALSE(model->Refresh());
    EXPECT_EQ(model->rowCount(), kRecords);
    EXPECT_EQ(model->Counts().Total, kRecords);

    QTableView view;
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.setModel(model.get());
    view.resize(900, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    view.setFocus();
    const int afterRefresh = accesses;
    view.repaint();
    // The newest first: the first screen is the first page.
    EXPECT_EQ(Cell(0, 0), QString::number(kRecords));
    EXPECT_LE(accesses - afterRefresh, 1);

    // Down to the oldest record with the keyboard: the last page, not the ones between.
    const int beforeEnd = accesses;
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    view.repaint();
    EXPECT_EQ(view.currentIndex().row(), kRecords - 1);
    EXPECT_EQ(Cell(kRecords - 1, 0), QStringLiteral("1"));
    EXPECT_LE(accesses - beforeEnd, 2);

    // A row in the middle holds the record of its place, every cell as the main table shows it.
    const int middle = 12345;
    const TMeasRecord& expected = records[static_cast<size_t>(kRecords - 1 - middle)];
    const TRowTexts texts = RowTexts(expected, context);
    for (int c = 0; c < ResultColumns; ++c)
        EXPECT_EQ(Cell(middle, c), texts[static_cast<size_t>(c)]) << c;
    EXPECT_TRUE(Cell(middle, 5).contains(u',')) << Cell(middle, 5).toStdString();

    // The oldest first: the same rows in the other order.
    model->sort(1, Qt::AscendingOrder);
    EXPECT_EQ(Cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(kRecords - 1, 0), QString::number(kRecords));
}

} // namespace
} // namespace lum1
