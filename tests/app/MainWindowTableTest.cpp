// The main window with records in the table: file open, copy commands and their enabling.
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "results/ResultsTable.h"

#include "QtPrinters.h"
#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>


namespace lum1 {
namespace {

class MainWindowTable : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
        QByteArray file;
        for (int i = 1; i <= 4; ++i) {
            TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i));
            r.Density = 2300.0f + static_cast<float>(i);
            file.append(test::RecordBytes(r));
        }
        dir.Write("four.lum1", file);
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        QGuiApplication::clipboard()->setText("untouched");
    }
    void OpenFourRecords() {
        dialogs.fileAnswers.push_back(dir.File("four.lum1"));
        form->AOpenExecute();
    }
    QString Clipboard() const { return QGuiApplication::clipboard()->text(); }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowTable, CopyOfAnEmptyTableLeavesTheClipboardAlone) {
    form->ACopyAllExecute();
    form->ACopyCtrlCExecute();
    QTest::keyClick(form->StringGrid1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "untouched");
}

TEST_F(MainWindowTable, OpenedFileFillsTheGridAndEnablesCopyAll) {
    OpenFourRecords();
    EXPECT_EQ(program->Store.RecordCount.load(), 4);
    EXPECT_EQ(form->Table().Cell(0, 1), "(4)");
    EXPECT_EQ(form->Table().rowCount(), 4);
    EXPECT_TRUE(form->ACopyAll->isEnabled());
    EXPECT_TRUE(form->itmPopUpCopyAll->isEnabled());
    EXPECT_FALSE(form->ACopyCtrlC->isEnabled());

    form->ACopyAllExecute();
    const QStringList lines = Clipboard().split("\r\n");
    ASSERT_EQ(lines.size(), 7); // 2 titles + 4 records + the empty rest after the last CR LF
    EXPECT_TRUE(lines[0].startsWith("№\tTime, date\tDensity\tCompaction \tPorosity\t"));
    EXPECT_TRUE(lines[1].startsWith("(4)\t\tkg/m^3\tfactor\t%\t°C\t"));
    EXPECT_TRUE(lines[2].startsWith("1\t14:05:09 (may  5, 2019)\t2301\t"));
    EXPECT_EQ(lines[2].count('\t'), 10);
    EXPECT_EQ(lines[6], "");
}

TEST_F(MainWindowTable, KeyboardSelectionEnablesCopySelectedAndCtrlCCopiesIt) {
    OpenFourRecords();
    ResultsGrid* grid = form->StringGrid1;
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 2));
    grid->selectRow(1);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(form->ACopyCtrlC->isEnabled()); // the key release re-evaluated the commands
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = Clipboard().split("\r\n");
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith("2\t"));
    EXPECT_TRUE(lines[2].startsWith("4\t"));

    // One row: the command is disabled, Ctrl+C still copies that row.
    grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 2),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::keyRelease(grid, Qt::Key_Shift);
    EXPECT_FALSE(form->ACopyCtrlC->isEnabled());
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(Clipboard().startsWith("1\t"));
    EXPECT_EQ(Clipboard().count("\r\n"), 1);
}

TEST_F(MainWindowTable, MovedRowsAndColumnsAreCopiedInTheirNewPlaces) {
    OpenFourRecords();
    ResultsGrid* grid = form->StringGrid1;
    grid->verticalHeader()->moveSection(3, 0);   // record 4 to the top
    grid->horizontalHeader()->moveSection(10, 2); // the averaged count after the date
    grid->horizontalHeader()->moveSection(4, 0);  // not into the fixed columns: refused
    form->ACopyAllExecute();
    const QStringList lines = Clipboard().split("\r\n");
    EXPECT_TRUE(lines[0].startsWith("№\tTime, date\tNumber\tDensity\t"));
    EXPECT_TRUE(lines[2].startsWith("4\t14:05:09 (may  5, 2019)\t3\t2304\t"));
    EXPECT_TRUE(lines[3].startsWith("1\t"));
}

TEST_F(MainWindowTable, F1OpensHelpWhateverTheModifiers) {
    std::vector<QString> opened;
    TForm1::Hooks hooks;
    hooks.endProcess = [](int) {};
    hooks.openUrl = [&opened](const QUrl& url, TOpenFailed) { opened.push_back(url.toString()); };
    TForm1 other(*program, dialogs, hooks);
    QTest::keyClick(&other, Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(&other, Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_EQ(opened.size(), 2u);
}

} // namespace
} // namespace lum1
