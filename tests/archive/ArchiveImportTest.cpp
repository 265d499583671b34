// Arrivals: a record is kept once whatever brings it, every arrival is kept with its counts,
// and texts from records reach the database only as values.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "archive/RecordKey.h"

#include <QFile>
#include <QSqlQuery>

#include <sys/stat.h>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

class ArchiveImportTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TArchive archive;

    void SetUp() override {
        const TArchiveError e = archive.Open(test::SqliteAt(dir.File("archive.sqlite")));
        ASSERT_FALSE(e) << e.Detail.toStdString();
    }

    TDownloadInfo Download(const QString& gauge = QStringLiteral("LUM-1.2 No 0417")) {
        TDownloadInfo info;
        info.ParamText = gauge;
        info.User = QStringLiteral("technician");
        info.Time = QDateTime(QDate(2024, 6, 3), QTime(17, 45, 10), Qt::UTC);
        return info;
    }
};

TEST_F(ArchiveImportTest, TheSameDownloadTwiceBringsNothingNew) {
    const auto records = test::MakeRecords(40);
    const TArrivalResult first = ArchiveDownload(archive, records, Download());
    ASSERT_TRUE(first.Ok()) << first.Error.Detail.toStdString();
    EXPECT_EQ(first.Records, 40);
    EXPECT_EQ(first.New, 40);
    EXPECT_EQ(first.Known, 0);

    const TArrivalResult second = ArchiveDownload(archive, records, Download());
    ASSERT_TRUE(second.Ok());
    EXPECT_EQ(second.New, 0);
    EXPECT_EQ(second.Known, 40);
    EXPECT_EQ(CountRecords(archive, {}).Total, 40);

    // Both arrivals are kept, newest first, with what they were.
    const std::vector<TArrival> arrivals = Arrivals(archive);
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[0].Id, second.ArrivalId);
    EXPECT_EQ(arrivals[0].Kind, TArrivalKind::Download);
    EXPECT_EQ(arrivals[0].ParamText, "LUM-1.2 No 0417");
    EXPECT_EQ(arrivals[0].User, "technician");
    EXPECT_EQ(arrivals[0].Time, QDateTime(QDate(2024, 6, 3), QTime(17, 45, 10), Qt::UTC));
    EXPECT_EQ(arrivals[0].New, 0);
    EXPECT_EQ(arrivals[0].Known, 40);
    EXPECT_EQ(arrivals[1].New, 40);
    test::ExpectWholeArrivals(archive);
}

TEST_F(ArchiveImportTest, AFileOfRecordsAlreadyKeptBringsNothingNew) {
    auto records = test::MakeRecords(30);
    ASSERT_TRUE(ArchiveDownload(archive, records, Download()).Ok());
    // Saved by the program, in another order, with a short tail as a file may have.
    std::reverse(records.begin(), records.end());
    dir.Write("saved.lum1", test::FileBytes(records) + QByteArray(45, '\x7f'));
    const TFileArrival same = ArchiveResultsFile(archive, dir.File("saved.lum1"));
    ASSERT_FALSE(same.CantRead);
    ASSERT_TRUE(same.Result.Ok());
    EXPECT_EQ(same.Result.Records, 30);
    EXPECT_EQ(same.Result.New, 0);

    // A later file overlaps: only its new records are new.
    dir.Write("later.lum1", test::FileBytes(test::MakeRecords(40, 21)));
    const TFileArrival later = ArchiveResultsFile(archive, dir.File("later.lum1"));
    EXPECT_EQ(later.Result.New, 30);
    EXPECT_EQ(later.Result.Known, 10);
    const std::vector<TArrival> arrivals = Arrivals(archive);
    ASSERT_EQ(arrivals.size(), 3u);
    EXPECT_EQ(arrivals[0].Kind, TArrivalKind::File);
    EXPECT_EQ(arrivals[0].FileName, dir.File("later.lum1"));
    EXPECT_TRUE(arrivals[0].ParamText.isEmpty());
    EXPECT_EQ(CountRecords(archive, {}).Total, 60);

    const TFileArrival missing = ArchiveResultsFile(archive, dir.File("none.lum1"));
    EXPECT_TRUE(missing.CantRead);
    EXPECT_EQ(Arrivals(archive).size(), 3u);
}

TEST_F(ArchiveImportTest, ARecordThatDiffersInOneByteIsNew) {
    const TMeasRecord original = test::MakeRecords(1).front();
    ASSERT_EQ(ArchiveDownload(archive, {&original, 1}, Download()).New, 1);
    // Number, seconds, a character of the object, a byte after the object's text (not shown,
    // still part of the record), the density, a coordinate, the uninterpreted bytes, the last.
    for (const int offset : {0, 2, 10, 25, 52, 61, 72, 84, 89}) {
        SCOPED_TRACE(offset);
        TMeasRecord changed = original;
        reinterpret_cast<uint8_t*>(&changed)[offset] ^= 0x01;
        const TArrivalResult r = ArchiveDownload(archive, {&changed, 1}, Download());
        EXPECT_EQ(r.New, 1);
        EXPECT_EQ(ArchiveDownload(archive, {&changed, 1}, Download()).New, 0);
    }
    EXPECT_EQ(ArchiveDownload(archive, {&original, 1}, Download()).New, 0);
    EXPECT_EQ(CountRecords(archive, {}).Total, 10);

    // Kept byte for byte.
    const auto rows = FetchRecords(archive, {}, {0, false}, 0, 100);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [&](const TArchiveRow& row) {
        return test::RecordBytes(row.Record) == test::RecordBytes(original);
    }));
}

TEST_F(ArchiveImportTest, ARecordTwiceInOneArrivalIsKeptOnce) {
    auto records = test::MakeRecords(5);
    records.push_back(records[2]);
    const TArrivalResult r = ArchiveDownload(archive, records, Download());
    EXPECT_EQ(r.Records, 6);
    EXPECT_EQ(r.New, 5);
    EXPECT_EQ(r.Known, 1);
    test::ExpectWholeArrivals(archive);
}

// A record whose key another record already holds is a different record and is kept too.
TEST_F(ArchiveImportTest, TwoRecordsWithTheSameKeyAreBothKept) {
    const auto records = test::MakeRecords(2);
    ASSERT_EQ(ArchiveDownload(archive, {&records[0], 1}, Download()).New, 1);
    // Give the kept record the key of the second one, as if their hashes met.
    QSqlQuery q(archive.Database());
    q.prepare("UPDATE measurement SET rkey = ?");
    q.addBindValue(RecordKey(records[1]));
    ASSERT_TRUE(q.exec());

    EXPECT_EQ(ArchiveDownload(archive, {&records[1], 1}, Download()).New, 1);
    EXPECT_EQ(ArchiveDownload(archive, {&records[1], 1}, Download()).New, 0);
    EXPECT_EQ(CountRecords(archive, {}).Total, 2);
}

TEST_F(ArchiveImportTest, TextsOfRecordsReachTheDatabaseOnlyAsValues) {
    auto records = test::MakeRecords(3);
    const QString object = QStringLiteral("');DROP TABLE lot;--\"");
    test::SetShortText(records[0].ObjectName, object);
    // Control bytes and a quote in the material, a semicolon list in the gauge's text.
    const char material[] = {7, 'a', '\x01', '\'', ';', '\x1f', 'z', '\x0d'};
    records[0].MaterialName[0] = sizeof material;
    std::memcpy(records[0].MaterialName + 1, material, sizeof material);
    const QString gauge = QStringLiteral("x'; DELETE FROM measurement; --");
    ASSERT_TRUE(ArchiveDownload(archive, records, Download(gauge)).Ok());

    TArchiveFilter filter;
    filter.Object = object;
    filter.Exact = true;
    EXPECT_EQ(CountRecords(archive, filter).Shown, 1);
    filter = {};
    filter.Material = QString::fromLatin1(material, sizeof material);
    filter.Exact = true;
    EXPECT_EQ(CountRecords(archive, filter).Shown, 1);
    filter = {};
    filter.Gauge = QStringLiteral("DELETE FROM");
    EXPECT_EQ(CountRecords(archive, filter).Shown, 3);
    EXPECT_TRUE(ObjectNames(archive).contains(object));
    EXPECT_EQ(GaugeTexts(archive), QStringList{gauge});
    // The lot table is still there.
    TLot lot;
    lot.Name = object;
    EXPECT_TRUE(CreateLot(archive, lot).Ok());
}

// Something named like a results file that is no regular file (a pipe, a dangling link) is
// unreadable at once: reading a pipe would wait for a writer that may never come, and the
// import, and a program closing meanwhile, with it.
TEST_F(ArchiveImportTest, APipeOrADanglingLinkIsUnreadableAndNeverWaitedFor) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("pipe.lum1")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir.File("gone.lum1"), dir.File("dangling.lum1")));
    dir.Write("good.lum1", test::FileBytes(test::MakeRecords(3)));
    const TImportSummary summary =
        ArchiveFiles(archive, {dir.File("pipe.lum1"), dir.File("dangling.lum1"), dir.File("good.lum1")});
    EXPECT_EQ(summary.Unreadable, 2);
    EXPECT_EQ(summary.New, 3);
    EXPECT_FALSE(summary.Error);
}

} // namespace
} // namespace lum1
