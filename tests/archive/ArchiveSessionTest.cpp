// The window thread's archive: the [Archive] settings, the archiving after a read with its
// history line, and trouble told once in a box but every time in the history.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveQuery.h"
#include "archive/ArchiveSession.h"
#include "lang/ExtraTexts.h"
#include "platform/IniFile.h"

#include <QDir>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(ArchiveSettingsTest, ReadWriteAndWhereTheFileIs) {
    test::TempDir dir;
    TIniFile ini(dir.File("lum1.ini"));
    const TArchiveSettings defaults = TArchiveSettings::Read(ini);
    EXPECT_TRUE(defaults.AutoArchive);
    EXPECT_EQ(defaults.Engine, TArchiveEngine::SQLite);
    EXPECT_EQ(defaults.Connection("/data/lum1").SqlitePath, "/data/lum1/archive.sqlite");
    EXPECT_EQ(defaults.Port, 5432);

    TArchiveSettings s;
    s.AutoArchive = false;
    s.Engine = TArchiveEngine::PostgreSQL;
    s.Path = "lab/a.sqlite";
    s.Host = "/run/postgresql";
    s.Port = 6543;
    s.Database = "lab";
    s.User = "tech";
    s.Write(ini);
    EXPECT_EQ(TArchiveSettings::Read(TIniFile(dir.File("lum1.ini"))), s);
    EXPECT_FALSE(dir.Read("lum1.ini").toLower().contains("password"));
    // A relative file is taken from the archive folder.
    EXPECT_EQ(s.Connection("/data/lum1").SqlitePath, "/data/lum1/lab/a.sqlite");

    dir.Write("bad.ini", "[Archive]\r\nEngine=Oracle\r\nPort=99999\r\nDatabase=\r\n");
    const TArchiveSettings bad = TArchiveSettings::Read(TIniFile(dir.File("bad.ini")));
    EXPECT_EQ(bad.Engine, TArchiveEngine::SQLite);
    EXPECT_EQ(bad.Port, 5432);
    EXPECT_EQ(bad.Database, "lum1");
}

class ArchiveSessionTest : public ::testing::Test {
protected:
    test::TempDir dir;
    TArchiveSettings settings;
    TArchiveSession session{{[this] { return settings; }, dir.File("data"),
                             [](const QString& key) { return BuiltInExtraText(key, true); }}};
};

TEST_F(ArchiveSessionTest, EveryReadIsArchivedWithAHistoryLine) {
    const auto records = test::MakeRecords(25);
    auto notice = session.ArchiveRead(records, "LUM-1.2 No 0417");
    EXPECT_EQ(notice.History, QStringList{"Archive: 25 records, 25 new, 0 already kept"});
    EXPECT_TRUE(notice.Box.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(dir.File("data/archive.sqlite")));
    notice = session.ArchiveRead(test::MakeRecords(30), "LUM-1.2 No 0417");
    EXPECT_EQ(notice.History, QStringList{"Archive: 30 records, 5 new, 25 already kept"});

    settings.AutoArchive = false;
    EXPECT_TRUE(session.ArchiveRead(records, {}).History.isEmpty());
    // A change of the file is followed at the next read.
    settings.AutoArchive = true;
    settings.Path = dir.File("other.sqlite");
    EXPECT_EQ(session.ArchiveRead(records, {}).History,
              QStringList{"Archive: 25 records, 25 new, 0 already kept"});
}

TEST_F(ArchiveSessionTest, TroubleIsToldInABoxOnceAndInTheHistoryEveryTime) {
    dir.Write("blocker", "a file where the archive's folder should be");
    settings.Path = dir.File("blocker/archive.sqlite");
    const auto records = test::MakeRecords(3);
    auto notice = session.ArchiveRead(records, {});
    ASSERT_EQ(notice.History.size(), 1);
    EXPECT_TRUE(notice.History[0].startsWith("Cannot create the archive")) << notice.History[0].toStdString();
    EXPECT_TRUE(notice.Box.contains(notice.History[0]));
    EXPECT_TRUE(notice.Box.contains("The table is shown and can be saved")) << notice.Box.toStdString();

    notice = session.ArchiveRead(records, {});
    EXPECT_EQ(notice.History.size(), 1);
    EXPECT_TRUE(notice.Box.isEmpty());

    // Working again, then a damaged file: set aside, said, and the read goes into a new archive.
    settings.Path.clear();
    EXPECT_EQ(session.ArchiveRead(records, {}).History,
              QStringList{"Archive: 3 records, 3 new, 0 already kept"});
    settings.Path = dir.File("notes.sqlite");
    dir.Write("notes.sqlite", "not an archive at all, but nobody's notes are ever lost");
    notice = session.ArchiveRead(records, {});
    ASSERT_EQ(notice.History.size(), 2);
    EXPECT_TRUE(notice.History[0].contains("set aside as")) << notice.History[0].toStdString();
    EXPECT_EQ(notice.History[1], "Archive: 3 records, 3 new, 0 already kept");
    EXPECT_FALSE(notice.Box.isEmpty());
    EXPECT_EQ(QDir(dir.Path()).entryList({"notes.sqlite.damaged-*"}).size(), 1);
}

} // namespace
} // namespace lum1
