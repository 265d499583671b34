// Archives that cannot be used: a clear kind of trouble for the message, and the file's bytes
// never lost. A file that is no database (any more) is set aside under another name and a new
// archive takes its place; anything else is left where it is.
#include "ArchiveFixture.h"
#include "TempDir.h"

#include "archive/ArchiveMessages.h"
#include "archive/ArchiveQuery.h"
#include "lang/ExtraTexts.h"

#include <QDir>
#include <QSqlDatabase>

#include <gtest/gtest.h>

#include <functional>

namespace lum1 {
namespace {

class ArchiveDamageTest : public ::testing::Test {
public:
    test::TempDir dir;
    QString path = dir.File("archive.sqlite");

    // A real archive of `records` records, closed.
    void MakeArchive(int records) {
        TArchive archive;
        ASSERT_FALSE(archive.Open(test::SqliteAt(path)));
        ASSERT_TRUE(ArchiveDownload(archive, test::MakeRecords(records), {}).Ok());
    }
};

TEST_F(ArchiveDamageTest, AFileThatIsNoDatabaseIsSetAsideAndANewArchiveStarted) {
    struct Case {
        const char* what;
        std::function<void(ArchiveDamageTest&)> make;
    };
    const std::vector<Case> cases = {
        {"text",
         [](ArchiveDamageTest& t) {
             t.dir.Write("archive.sqlite", "These are my notes; not a database.\n");
         }},
        {"truncated",
         [](ArchiveDamageTest& t) {
             t.MakeArchive(3000);
             QFile f(t.path);
             ASSERT_TRUE(f.resize(f.size() / 2 / 4096 * 4096));
         }},
        {"cut inside a page",
         [](ArchiveDamageTest& t) {
             t.MakeArchive(10);
             QFile f(t.path);
             ASSERT_TRUE(f.resize(f.size() - 1000));
         }},
        {"schema page overwritten",
         [](ArchiveDamageTest& t) {
             t.MakeArchive(10);
             QFile f(t.path);
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.seek(100);
             f.write(QByteArray(3000, '\x5a'));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString& name : QDir(dir.Path()).entryList(QDir::Files))
            QFile::remove(dir.File(name));
        c.make(*this);
        const QByteArray before = dir.Read("archive.sqlite");

        TArchive archive;
        const TArchiveError e = archive.Open(test::SqliteAt(path));
        EXPECT_EQ(e.Kind, TArchiveErrorKind::Damaged);
        ASSERT_TRUE(archive.IsOpen());
        ASSERT_FALSE(e.SetAsidePath.isEmpty());
        EXPECT_TRUE(e.SetAsidePath.startsWith(path + ".damaged-")) << e.SetAsidePath.toStdString();
        QFile aside(e.SetAsidePath);
        ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
        EXPECT_EQ(aside.readAll(), before);
        // The message says what became of it.
        const QString text = ArchiveErrorText(e, [](const QString& k) { return BuiltInExtraText(k, true); });
        EXPECT_TRUE(text.contains(e.SetAsidePath)) << text.toStdString();

        // The new archive works.
        EXPECT_EQ(ArchiveDownload(archive, test::MakeRecords(2), {}).New, 2);
        EXPECT_EQ(CountRecords(archive, {}).Total, 2);
    }
}

TEST_F(ArchiveDamageTest, AnArchiveThatCannotBeWrittenIsLeftWhereItIs) {
    MakeArchive(3);
    const QByteArray before = dir.Read("archive.sqlite");
    auto expectUntouched = [&] {
        EXPECT_EQ(dir.Read("archive.sqlite"), before);
        EXPECT_EQ(QDir(dir.Path()).entryList({"*.damaged-*"}, QDir::Files).size(), 0);
    };

    {
        SCOPED_TRACE("read-only file: readable, not writable");
        test::SetReadOnly(path, true);
        TArchive archive;
        EXPECT_FALSE(archive.Open(test::SqliteAt(path)));
        EXPECT_TRUE(archive.ReadOnly());
        EXPECT_EQ(CountRecords(archive, {}).Total, 3);
        EXPECT_EQ(ArchiveDownload(archive, test::MakeRecords(5), {}).Error.Kind, TArchiveErrorKind::ReadOnly);
        archive.Close();
        test::SetReadOnly(path, false);
        expectUntouched();
    }
    {
        SCOPED_TRACE("locked by another program");
        QSqlDatabase holder = QSqlDatabase::addDatabase("QSQLITE", "holder");
        holder.setDatabaseName(path);
        ASSERT_TRUE(holder.open());
        QSqlQuery q(holder);
        ASSERT_TRUE(q.exec("PRAGMA locking_mode = EXCLUSIVE"));
        ASSERT_TRUE(q.exec("BEGIN EXCLUSIVE"));
        ASSERT_TRUE(q.exec("SELECT count(*) FROM measurement"));
        q.finish();
        TArchive archive;
        const TArchiveError e = archive.Open(test::SqliteAt(path, 100));
        EXPECT_EQ(e.Kind, TArchiveErrorKind::Locked);
        EXPECT_FALSE(archive.IsOpen());
        ASSERT_TRUE(q.exec("ROLLBACK"));
        q = QSqlQuery();
        holder.close();
        holder = QSqlDatabase();
        QSqlDatabase::removeDatabase("holder");
        expectUntouched();
    }
    {
        SCOPED_TRACE("a database of another program");
        {
            QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other");
            other.setDatabaseName(dir.File("other.sqlite"));
            ASSERT_TRUE(other.open());
            QSqlQuery(other).exec("CREATE TABLE accounts (id INTEGER, owner TEXT)");
            other.close();
        }
        QSqlDatabase::removeDatabase("other");
        const QByteArray otherBefore = dir.Read("other.sqlite");
        TArchive archive;
        EXPECT_EQ(archive.Open(test::SqliteAt(dir.File("other.sqlite"))).Kind, TArchiveErrorKind::Foreign);
        EXPECT_FALSE(archive.IsOpen());
        EXPECT_EQ(dir.Read("other.sqlite"), otherBefore);
    }
    {
        SCOPED_TRACE("a folder that cannot be written");
        QDir().mkpath(dir.File("ro"));
        test::SetReadOnly(dir.File("ro"), true);
        TArchive archive;
        EXPECT_EQ(archive.Open(test::SqliteAt(dir.File("ro/archive.sqlite"))).Kind,
                  TArchiveErrorKind::CantCreate);
        test::SetReadOnly(dir.File("ro"), false);
        EXPECT_FALSE(QFileInfo::exists(dir.File("ro/archive.sqlite")));
    }
}

} // namespace
} // namespace lum1
