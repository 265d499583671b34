// Programs importing into one SQLite archive at once, and one killed in the middle.
#include "ArchiveProcess.h"

#include "archive/ArchiveQuery.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(ArchiveProcessTest, TwoProgramsImportingTheSameFilesAtOnceKeepEachRecordOnce) {
    test::TempDir dir;
    const QStringList files = test::WriteOverlappingFiles(dir);
    const test::ProgramCopy program(dir, "");
    test::ImportTwiceAtOnce(program, files);

    TArchive archive;
    ASSERT_FALSE(archive.Open(test::SqliteAt(program.Folder() + "/archive.sqlite")));
    EXPECT_EQ(CountRecords(archive, {}).Total, test::OverlapDistinct);
    EXPECT_EQ(test::ScalarOf(archive, "SELECT count(*) FROM arrival"), 2 * test::OverlapFiles);
    EXPECT_EQ(test::ScalarOf(archive, "SELECT sum(new_records) FROM arrival"), test::OverlapDistinct);
    test::ExpectWholeArrivals(archive);
}

TEST(ArchiveProcessTest, AProgramKilledDuringAnImportLeavesWholeArrivalsOnly) {
    test::TempDir dir;
    const QStringList files = test::WriteOverlappingFiles(dir);
    const test::ProgramCopy program(dir, "");
    test::ImportAndKill(program, files, 5);

    TArchive archive;
    const TArchiveError e = archive.Open(test::SqliteAt(program.Folder() + "/archive.sqlite"));
    ASSERT_FALSE(e) << e.Detail.toStdString();
    QSqlQuery q(archive.Database());
    ASSERT_TRUE(q.exec("PRAGMA integrity_check") && q.next());
    EXPECT_EQ(q.value(0).toString(), "ok");
    q.finish(); // a statement left open would keep reading the archive as it was
    const qint64 arrivals = test::ScalarOf(archive, "SELECT count(*) FROM arrival");
    EXPECT_GE(arrivals, 5);
    EXPECT_LT(arrivals, test::OverlapFiles);
    test::ExpectWholeArrivals(archive);
    // Each whole file: the first brings 2500, each later one 250.
    EXPECT_EQ(CountRecords(archive, {}).Total, test::OverlapFileRecords + (arrivals - 1) * test::OverlapStep);

    // The import run again completes what was cut short.
    auto again = program.Start(QStringList{"--import"} + files);
    ASSERT_TRUE(again->waitForFinished(240000));
    EXPECT_EQ(again->exitCode(), 0) << again->readAllStandardError().toStdString();
    EXPECT_EQ(CountRecords(archive, {}).Total, test::OverlapDistinct);
}

} // namespace
} // namespace lum1
