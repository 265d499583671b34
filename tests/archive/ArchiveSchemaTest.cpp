// The schema's versions: an archive of an earlier version opens and is brought up to date with
// everything in it; one of a later version is left alone.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "archive/ArchiveSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QTextStream>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(ArchiveSchemaTest, AnArchiveOfTheFirstVersionOpensWithEverythingInIt) {
    test::TempDir dir;
    const QString path = dir.File("archive.sqlite");
    test::RunSqlScript(QStringLiteral(LUM1_ARCHIVE_TEST_DATA "/archive-v1.sql"), path);

    TArchive archive;
    const TArchiveError e = archive.Open(test::SqliteAt(path));
    ASSERT_FALSE(e) << e.Detail.toStdString();
    EXPECT_EQ(archive.SchemaVersion(), CurrentSchemaVersion());
    EXPECT_EQ(test::ScalarOf(archive, "SELECT value FROM archive_info WHERE name = 'schema_version'"),
              CurrentSchemaVersion());

    // The records, their keys and the arrival are as the first version left them.
    EXPECT_EQ(CountRecords(archive, {}).Total, 2);
    TMeasRecord second = test::SampleRecord(2);
    second.Day = 6;
    second.Density = 2380.0f;
    const std::vector<TMeasRecord> same = {test::SampleRecord(1), second};
    EXPECT_EQ(ArchiveDownload(archive, same, {}).New, 0);
    const std::vector<TArrival> arrivals = Arrivals(archive);
    ASSERT_EQ(arrivals.size(), 2u);
    EXPECT_EQ(arrivals[1].ParamText, "LUM-1.2 No 0417");
    EXPECT_EQ(arrivals[1].New, 2);

    // What the later versions added works on the old records.
    TLot lot;
    lot.Name = "Section 1";
    const TLotResult created = CreateLot(archive, lot);
    ASSERT_TRUE(created.Ok());
    ASSERT_EQ(AssignToLot(archive, {1, 2}, created.Id).Assigned, 2);
    EXPECT_EQ(LotRecords(archive, created.Id).size(), 2u);
    test::ExpectWholeArrivals(archive);
}

TEST(ArchiveSchemaTest, AnArchiveOfALaterVersionIsLeftAlone) {
    test::TempDir dir;
    const QString path = dir.File("archive.sqlite");
    {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(path)));
        ASSERT_TRUE(ArchiveDownload(archive, test::MakeRecords(3), {}).Ok());
        QSqlQuery q(archive.Database());
        ASSERT_TRUE(q.exec("UPDATE archive_info SET value = '99' WHERE name = 'schema_version'"));
    }
    const QByteArray before = dir.Read("archive.sqlite");
    TArchive archive;
    const TArchiveError e = archive.Open(test::SqliteAt(path));
    EXPECT_EQ(e.Kind, TArchiveErrorKind::NewerSchema);
    EXPECT_EQ(e.SchemaVersion, 99);
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_EQ(dir.Read("archive.sqlite"), before);
}

} // namespace
} // namespace lum1
