// The print command in the main window: the rows and columns where the user sees them, the
// block question over moved rows, and headings that follow a language change the rows do not.
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "platform/IniFile.h"
#include "report/MeasurementReport.h"
#include "report/ReportPreview.h"
#include "results/ResultsTable.h"

#include "ReportFixture.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

class PrintCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("lum1.ini", "[Config]\r\nLangId=Rus\r\n");
        QByteArray file;
        for (int i = 1; i <= 4; ++i) {
            TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i));
            test::SetShortText(r.ObjectName, QStringLiteral("Object %1").arg(i));
            file.append(test::RecordBytes(r));
        }
        dir.Write("four.lum1", file);
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        form->Report().ShowReport = [this](TfrxReport& r) {
            ++shown;
            prepared = r.PreparedPages();
        };
    }
    void OpenFourRecords() {
        dialogs.fileAnswers.push_back(dir.File("four.lum1"));
        form->AOpenExecute();
    }
    QStringList Column(int place) const {
        QStringList cells;
        for (const TPreparedPage& page : prepared.Pages)
            cells << test::TextsOf(page, QStringLiteral("Memo%1").arg(200 + place));
        return cells;
    }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    TPreparedReport prepared;
    int shown = 0;
};

TEST_F(PrintCommand, IsOfferedAndDoesNothingWithoutRecords) {
    EXPECT_TRUE(form->APrint->isEnabled());
    // The language choice at start wrote the preview's text files beside the language files.
    EXPECT_TRUE(QFile::exists(dir.File("Language/Russian.frc")));
    EXPECT_TRUE(QFile::exists(dir.File("Language/English.frc")));
    EXPECT_EQ(form->Report().frxReport1.Resources.Get(QStringLiteral("Print")), "Печать");
    form->APrintExecute();
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintCommand, PrintsRowsAndColumnsWhereTheUserMovedThem) {
    OpenFourRecords();
    ResultsGrid& grid = *form->StringGrid1;
    grid.verticalHeader()->moveSection(2, 0);   // record 3 first
    grid.horizontalHeader()->moveSection(6, 2); // the object column to place 2
    form->APrintExecute();
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(Column(0), (QStringList{"3", "1", "2", "4"}));
    EXPECT_EQ(Column(2), (QStringList{"Object 3", "Object 1", "Object 2", "Object 4"}));
    // The heading stays the template's: cells are printed by place.
    EXPECT_EQ(test::TextsOf(prepared.Pages[0], QStringLiteral("Memo102")), QStringList{"Плотность, кг/м³"});

    // A block of the first two rows as the user sees them.
    grid.selectionModel()->select(form->Table().index(2, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid.selectionModel()->select(form->Table().index(0, 0),
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialogs.messageAnswers.push_back(MsgResult::Yes);
    form->APrintExecute();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(Column(0), (QStringList{"3", "1"}));
}

TEST_F(PrintCommand, ThePreviewKeepsItsSizeInTheProgramsSettings) {
    OpenFourRecords();
    form->Report().ShowReport = [](TfrxReport& r) {
        TReportPreview preview(r);
        preview.show();
        preview.showNormal();
        preview.resize(700, 500);
        QCoreApplication::processEvents();
        preview.reject();
    };
    form->APrintExecute();
    const TIniFile ini(dir.File("lum1.ini"));
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("ReportPreview"), QStringLiteral("Maximized"), -1), 0);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("ReportPreview"), QStringLiteral("Width"), 0), 700);
}

TEST_F(PrintCommand, ALanguageChangeWithoutANewFillChangesTheHeadingsOnly) {
    OpenFourRecords();
    const QString russianDate = form->Table().Cell(1, 2);
    form->ALangEngExecute();
    form->APrintExecute();
    ASSERT_EQ(shown, 1);
    EXPECT_EQ(test::TextsOf(prepared.Pages[0], QStringLiteral("Memo101")), QStringList{"Time, date"});
    EXPECT_EQ(test::TextsOf(prepared.Pages[0], QStringLiteral("Memo2")),
              QStringList{"Measured debsity values"});
    EXPECT_EQ(Column(1).value(0), russianDate);
    EXPECT_TRUE(russianDate.contains(QStringLiteral("мая"))) << russianDate.toStdString();
}

} // namespace
} // namespace lum1
