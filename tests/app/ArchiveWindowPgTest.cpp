// The archive window over a lab's PostgreSQL server (the tests' own, started by the ctest
// fixture archive_pg): an import on its own thread and connection, chosen records into the main
// table, and a lot, as on the default SQLite file.
#include "ArchiveFixture.h"
#include "PgServer.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include "app/ArchiveFeatures.h"
#include "app/MainWindow.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "archiveui/ArchiveWindow.h"
#include "archiveui/LotDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(ArchiveWindowPg, ImportChosenRecordsAndALotOnAServer) {
    const test::PgServer server = test::PgServer::FromState();
    const TArchiveConnection connection = server.FreshDatabase();
    test::TempDir dir;
    dir.Write("lum1.ini",
              QStringLiteral("[Config]\r\nLangId=Eng\r\n[Archive]\r\nEngine=PostgreSQL\r\nHost=%1\r\n"
                             "Port=%2\r\nDatabase=%3\r\nUser=%4\r\n")
                  .arg(connection.Host)
                  .arg(connection.Port)
                  .arg(connection.Database, connection.User)
                  .toUtf8());
    Program program(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
    test::ScriptedDialogs dialogs;
    TForm1::Hooks hooks;
    hooks.endProcess = [](int) {};
    TForm1 form(program, dialogs, hooks);
    form.CreateStatusWindow();
    form.show();
    TArchiveFeatures* features = form.ArchiveFeatures();
    features->AArchiveOpen->trigger();
    TfrmArchive* w = features->Window();
    ASSERT_TRUE(w && QTest::qWaitForWindowExposed(w));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(w->Model->Counts().Total, 0);

    // Two files, three records in both: the server keeps each once.
    const std::vector<TMeasRecord> records = test::MakeRecords(8);
    dir.Write("a.lum1", test::FileBytes({records.begin(), records.begin() + 5}));
    dir.Write("b.lum1", test::FileBytes({records.begin() + 2, records.end()}));
    dialogs.filesAnswers.push_back({dir.File("a.lum1"), dir.File("b.lum1")});
    w->AImport->trigger();
    QTRY_VERIFY(!features->ImportRunning());
    EXPECT_EQ(features->LastSummary(),
              QStringLiteral("Files imported: 2; 11 records, 8 new, 3 already kept"));
    EXPECT_EQ(w->Model->Counts().Shown, 8);

    // All of them into the main table, newest first.
    w->Table->setFocus();
    QTest::keyClick(w->Table, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w->Table, Qt::Key_Return);
    ASSERT_EQ(program.Store.RecordCount.load(), 8);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(test::RecordBytes(program.Store.Records[static_cast<size_t>(i)]),
                  test::RecordBytes(records[static_cast<size_t>(7 - i)]));

    // A lot of the first three rows.
    QTimer::singleShot(0, [] {
        auto* d = qobject_cast<TLotDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(d);
        QTest::keyClicks(d->Name, QStringLiteral("Lot on the server"));
        QTest::keyClick(d->Name, Qt::Key_Return);
    });
    QTest::mouseClick(w->NewLotButton, Qt::LeftButton);
    QTest::keyClick(w->Table, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(w->Table, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(w->Table, Qt::Key_Down, Qt::ShiftModifier);
    QTest::mouseClick(w->AssignButton, Qt::LeftButton);
    EXPECT_EQ(w->StatusText(),
              QStringLiteral(
                  "Records put into the lot \"Lot on the server\": 3 (of them taken from other lots: 0)"));
    form.FormClose();

    TArchive archive;
    ASSERT_FALSE(archive.Open(connection));
    const std::optional<TLot> lot = FindLotByName(archive, QStringLiteral("Lot on the server"));
    ASSERT_TRUE(lot);
    EXPECT_EQ(lot->Records, 3);
    test::ExpectWholeArrivals(archive);
}

} // namespace
} // namespace lum1
