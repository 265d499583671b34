// The main window's read command against the simulated gauge, loaded by its path.
#include "app/MainWindow.h"
#include "app/DeviceLink.h"
#include "app/StatusStrip.h"
#include "device/USBExchange.h"
#include "diag/StatusWindow.h"
#include "results/ResultsTable.h"

#include "QtPrinters.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace lum1 {
namespace {

TEST(MainWindowDevice, CommandsThatReadTheStoreWaitWhileARecordReadFillsIt) {
    test::TempDir dir;
    // A slow link: every transfer takes 3 ms, so the 200 records take a while to arrive.
    dir.Write("scenario.txt", "[gauge]\nversion = 2\nrecords = 200\nlatency_us = 3000\n");
    qputenv("LUM1_SIM_SCENARIO", dir.File("scenario.txt").toUtf8());
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    Program program(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
    test::ScriptedDialogs dialogs;
    TForm1::Hooks hooks;
    hooks.endProcess = [](int) {};
    hooks.usbLibraryName = LUM1_SIM_LIBRARY;
    TForm1 form(program, dialogs, hooks);
    form.CreateStatusWindow();

    int triesWhileFilling = 0;
    bool progressSeen = false, greenSeen = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        progressSeen = progressSeen || form.StatusBar1->ProgressBar1->isVisibleTo(&form);
        greenSeen = greenSeen || form.StatusBar1->ShapeLink->BrushColor() == QColor(0x00, 0xff, 0x00);
        if (!form.Device().Exchange()->StoreFilling())
            return;
        ++triesWhileFilling;
        QGuiApplication::clipboard()->setText("untouched");
        form.ACopyAllExecute();
        form.ASaveExecute(); // would ask for a file name if it ran
        form.AOpenExecute();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
    });
    probe.start(5);
    form.AReadExecute();
    probe.stop();
    qunsetenv("LUM1_SIM_SCENARIO");

    EXPECT_GT(triesWhileFilling, 0);
    EXPECT_TRUE(dialogs.fileRequests.empty());
    EXPECT_TRUE(progressSeen);
    EXPECT_EQ(program.Store.RecordCount.load(), 200);
    EXPECT_EQ(form.Table().Cell(0, 1), "(200)");
    EXPECT_TRUE(form.ACopyAll->isEnabled()); // the read re-evaluated the copy commands
    EXPECT_TRUE(form.StatusBar1->Panel0Text().endsWith("Data from the device read (200)"));
    EXPECT_TRUE(greenSeen);
    // The gauge is closed on the pass after the completion: the indicator turns grey.
    QElapsedTimer t;
    t.start();
    while (form.StatusBar1->ShapeLink->BrushColor() != QColor(0x80, 0x80, 0x80) && t.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(form.StatusBar1->ShapeLink->BrushColor(), QColor(0x80, 0x80, 0x80));
    form.FormClose();
}

// Every successful read goes into the archive, which says so in the history only; an archive
// that cannot be used gets one box, and the read's table is filled and saved all the same.
TEST(MainWindowDevice, AReadIsArchivedAndAnArchiveInTroubleNeverStandsInTheWay) {
    test::TempDir dir;
    // The simulated gauge as the process has it (its scenario is read once per process).
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    Program program(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
    test::ScriptedDialogs dialogs;
    TForm1::Hooks hooks;
    hooks.endProcess = [](int) {};
    hooks.usbLibraryName = LUM1_SIM_LIBRARY;
    TForm1 form(program, dialogs, hooks);
    form.CreateStatusWindow();

    form.AReadExecute();
    const int n = program.Store.RecordCount.load();
    ASSERT_GT(n, 0);
    const QString count = QString::number(n);
    form.AReadExecute();
    EXPECT_TRUE(form.frmStatus()->Text().contains("Archive: " + count + " records, " + count +
                                                  " new, 0 already kept"));
    EXPECT_TRUE(form.frmStatus()->Text().contains("Archive: " + count + " records, 0 new, " + count +
                                                  " already kept"));
    const QString readText = "Data from the device read (" + count + ")";
    EXPECT_TRUE(form.StatusBar1->Panel0Text().endsWith(readText));
    EXPECT_TRUE(QFileInfo::exists(dir.File("archive.sqlite")));
    EXPECT_TRUE(dialogs.messages.empty());

    // The archive's folder is a file now: no archive, one box, the table and Save as ever.
    dir.Write("blocked", "");
    program.SettingsIni->WriteString("Archive", "Path", dir.File("blocked/archive.sqlite"));
    form.AReadExecute();
    EXPECT_EQ(form.Table().Cell(0, 1), "(" + count + ")");
    EXPECT_TRUE(form.StatusBar1->Panel0Text().endsWith(readText));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains("Cannot create the archive"))
        << dialogs.messages[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages[0].text.contains("can be saved"));
    form.AReadExecute();
    EXPECT_EQ(dialogs.messages.size(), 1u); // told once; the history has it every time
    EXPECT_EQ(form.frmStatus()->Text().count("Cannot create the archive"), 2);
    dialogs.fileAnswers.push_back(dir.File("kept.lum1"));
    form.ASaveExecute();
    EXPECT_EQ(dir.Read("kept.lum1").size(), n * 90);
    form.FormClose();
}

} // namespace
} // namespace lum1
