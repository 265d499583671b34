// Lots: named, a record in at most one, their records in time order, and what a lot's end
// leaves behind.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveLots.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(ArchiveLotsTest, ARecordBelongsToAtMostOneLot) {
    test::TempDir dir;
    TArchive archive;
    ASSERT_FALSE(archive.Open(test::SqliteAt(dir.File("archive.sqlite"))));
    auto records = test::MakeRecords(6);
    std::reverse(records.begin(), records.end()); // arrival order is not time order
    ASSERT_TRUE(ArchiveDownload(archive, records, {}).Ok());
    std::vector<qint64> ids;
    for (const TArchiveRow& row : FetchRecords(archive, {}, {}, 0, 10))
        ids.push_back(row.Id); // in time order: records 1..6

    TLot north;
    north.Name = "  North section ";
    north.Object = "Road 1";
    north.Material = "Mix A";
    north.Layer = "Binder, 60 mm";
    north.Notes = "Rolled at 140 °C; two passes";
    const TLotResult a = CreateLot(archive, north);
    ASSERT_TRUE(a.Ok());
    TLot south;
    south.Name = "South section";
    const TLotResult b = CreateLot(archive, south);
    ASSERT_TRUE(b.Ok());
    TLot again;
    again.Name = "North section";
    EXPECT_EQ(CreateLot(archive, again).Problem, TLotProblem::NameTaken);
    again.Name = "   ";
    EXPECT_EQ(CreateLot(archive, again).Problem, TLotProblem::EmptyName);

    EXPECT_EQ(AssignToLot(archive, {ids[4], ids[0], ids[2]}, a.Id).Assigned, 3);
    EXPECT_EQ(CountInOtherLots(archive, {ids[1], ids[2]}, b.Id), 1);
    const TLotResult moved = AssignToLot(archive, {ids[1], ids[2]}, b.Id);
    EXPECT_EQ(moved.Assigned, 2);
    EXPECT_EQ(moved.Moved, 1);
    EXPECT_EQ(AssignToLot(archive, {ids[0]}, 999).Problem, TLotProblem::NotFound);

    // In time order, whatever order they arrived or were assigned in.
    std::vector<int> numbers;
    for (const TArchiveRow& row : LotRecords(archive, a.Id))
        numbers.push_back(row.Record.Number);
    EXPECT_EQ(numbers, (std::vector<int>{1, 5}));
    const std::vector<TLot> lots = Lots(archive);
    ASSERT_EQ(lots.size(), 2u);
    EXPECT_EQ(lots[0].Name, "North section");
    EXPECT_EQ(lots[0].Layer, "Binder, 60 mm");
    EXPECT_EQ(lots[0].Notes, "Rolled at 140 °C; two passes");
    EXPECT_EQ(lots[0].Records, 2);
    EXPECT_EQ(lots[1].Records, 2);
    EXPECT_TRUE(lots[0].Created.isValid());

    TLot renamed = *FindLot(archive, b.Id);
    renamed.Name = "North section";
    EXPECT_EQ(UpdateLot(archive, renamed).Problem, TLotProblem::NameTaken);
    renamed.Name = "South, km 12";
    EXPECT_TRUE(UpdateLot(archive, renamed).Ok());
    EXPECT_EQ(FindLotByName(archive, "South, km 12")->Id, b.Id);

    // Out of every lot, and a lot that goes leaves its records in the archive.
    EXPECT_EQ(AssignToLot(archive, {ids[1]}, NoLot).Assigned, 1);
    ASSERT_TRUE(DeleteLot(archive, a.Id).Ok());
    EXPECT_EQ(DeleteLot(archive, a.Id).Problem, TLotProblem::NotFound);
    EXPECT_EQ(CountRecords(archive, {}).Total, 6);
    TArchiveFilter inNone;
    inNone.Lot = NoLot;
    EXPECT_EQ(CountRecords(archive, inNone).Shown, 5);
}

} // namespace
} // namespace lum1
