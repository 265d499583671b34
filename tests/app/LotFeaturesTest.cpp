// The lot statistics in the main window: menu items after the documented ones, the panel and its
// settings, the acceptance marks (colour and tooltip only), the chart, the exports from the menu
// and the texts of the new features' own section.
#include "app/AcceptanceFeatures.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "lot/DensityChart.h"
#include "lot/LotPanel.h"
#include "results/ResultsTable.h"

#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

class LotFeaturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
        // Compaction factors 0.959, 0.980, 1.000; a deleted record; one without a reference.
        const float densities[] = {2301, 2352, 2400, 2200, 2390};
        QByteArray file;
        for (int i = 0; i < 5; ++i) {
            TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i + 1));
            r.Density = densities[i];
            r.Latitude = (5509 << 16) + i;
            r.Longitude = (3730 << 16);
            if (i == 3)
                r.Seconds = DeletedMark;
            if (i == 4)
                r.RefDensity = 0;
            file.append(test::RecordBytes(r));
        }
        dir.Write("lot.lum1", file);
        Start();
    }
    void Start() {
        form.reset();
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->resize(900, 600);
        lot = form->LotFeatures();
    }
    void Open() {
        dialogs.fileAnswers.push_back(dir.File("lot.lum1"));
        form->AOpenExecute();
        lot->Recompute();
    }
    void SelectRows(int first, int last) {
        QItemSelection s(form->Table().index(first, 0), form->Table().index(last, ResultColumns - 1));
        form->StringGrid1->selectionModel()->select(s, QItemSelectionModel::ClearAndSelect);
        QCoreApplication::processEvents(); // the coalesced recomputation
    }
    QVariant Data(int row, int role) const { return form->Table().data(form->Table().index(row, 2), role); }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    TLotFeatures* lot = nullptr;
};

TEST_F(LotFeaturesTest, MenuItemsFollowTheDocumentedOnes) {
    const QList<QAction*> param = form->itmParam->actions();
    ASSERT_EQ(param.size(), 5);
    EXPECT_EQ(param[0], form->itmLang->menuAction());
    EXPECT_TRUE(param[1]->isSeparator());
    EXPECT_EQ(param[2], lot->AShowLotStatistics);
    EXPECT_EQ(param[3], lot->ADensityChart);
    EXPECT_EQ(param[4], form->AcceptanceFeatures()->itmAcceptance->menuAction());
    EXPECT_EQ(form->itmFile->actions().back(), form->AExit);
    const QList<QAction*> edit = form->itmEdit->actions();
    ASSERT_EQ(edit.size(), 6);
    EXPECT_EQ(edit.mid(0, 2), (QList<QAction*>{form->ACopyAll, form->ACopyCtrlC}));
    EXPECT_TRUE(edit[2]->isSeparator());
    EXPECT_EQ(edit.mid(3), (QList<QAction*>{lot->AExportXlsx, lot->AExportKml, lot->AExportGeoJson}));
    EXPECT_EQ(lot->AShowLotStatistics->text(), QStringLiteral("Lot statistics"));
}

TEST_F(LotFeaturesTest, PanelStateKeptInItsOwnSection) {
    EXPECT_FALSE(lot->PanelShown());
    lot->AShowLotStatistics->trigger();
    EXPECT_TRUE(lot->PanelShown());
    lot->Panel()->SetMinCompaction(0.97);
    lot->Panel()->SetTargetDensity(2350);
    const QByteArray ini = dir.Read("lum1.ini");
    EXPECT_TRUE(ini.contains("[LotStatistics]\r\nVisible=1\r\nMinCompaction=0.970\r\nTargetDensity=2350\r\n"))
        << ini.toStdString();
    Start();
    EXPECT_TRUE(lot->PanelShown());
    EXPECT_DOUBLE_EQ(lot->Panel()->MinCompaction(), 0.97);
    EXPECT_DOUBLE_EQ(lot->Panel()->TargetDensity(), 2350);
}

TEST_F(LotFeaturesTest, PanelFollowsTheSelectionAndMatchesTheClipboard) {
    lot->SetPanelShown(true);
    lot->Recompute();
    EXPECT_EQ(lot->Panel()->ShownLines(),
              QStringList{QStringLiteral("The table is empty: nothing to compute")});

    Open();
    QStringList shown = lot->Panel()->ShownLines();
    EXPECT_EQ(shown[0], QStringLiteral("Density, kg/m^3\t4 / 4\t2361\t44.88\t2301\t2400"));
    EXPECT_EQ(shown[5], QStringLiteral("Rows    whole table: 5    deleted: 1"));
    EXPECT_EQ(shown[6], QStringLiteral("Below the minimum: 1 of 3 (33.3 %)"));

    SelectRows(1, 2); // two rows: the statistics of those
    shown = lot->Panel()->ShownLines();
    EXPECT_EQ(shown[0], QStringLiteral("Density, kg/m^3\t2 / 2\t2376\t33.94\t2352\t2400"));
    EXPECT_TRUE(shown[5].contains(QStringLiteral("selected rows: 2")));
    SelectRows(2, 2); // one row: the whole table again
    EXPECT_TRUE(lot->Panel()->ShownLines()[5].contains(QStringLiteral("whole table: 5")));

    SelectRows(1, 2);
    lot->CopyStatistics();
    const QStringList clip = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    EXPECT_EQ(clip[1], QStringLiteral("Density, kg/m^3\t2 / 2\t2376\t33.94\t2352\t2400"));
}

TEST_F(LotFeaturesTest, MarksAreColourAndTooltipOnly) {
    Open();
    form->ACopyAllExecute();
    const QString before = QGuiApplication::clipboard()->text();
    EXPECT_FALSE(Data(0, Qt::BackgroundRole).isValid()); // no panel, no marks

    lot->SetPanelShown(true);
    EXPECT_TRUE(Data(0, Qt::BackgroundRole).isValid()); // 0.959
    EXPECT_EQ(Data(0, Qt::ToolTipRole).toString(), QStringLiteral("Compaction factor below 0.980"));
    EXPECT_FALSE(Data(1, Qt::BackgroundRole).isValid()); // shows 0.980
    EXPECT_FALSE(Data(3, Qt::BackgroundRole).isValid()); // deleted
    EXPECT_FALSE(Data(4, Qt::BackgroundRole).isValid()); // no compaction factor
    EXPECT_EQ(Data(0, Qt::DisplayRole).toString(), QStringLiteral("2301"));
    form->ACopyAllExecute();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), before);

    lot->Panel()->SetMinCompaction(0.99);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Data(1, Qt::BackgroundRole).isValid());
    lot->SetPanelShown(false);
    EXPECT_FALSE(Data(0, Qt::BackgroundRole).isValid());
}

TEST_F(LotFeaturesTest, ChartPointsTargetClickAndPng) {
    Open();
    lot->Panel()->SetTargetDensity(2350);
    lot->ShowChart();
    TDensityChart* chart = lot->Chart();
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->PointCount(), 4); // the deleted record left out
    EXPECT_EQ(chart->BelowCount(), 1); // 2301
    chart->ChoosePointAt(2.9);         // nearest to the third row
    EXPECT_EQ(form->StringGrid1->SelectedVisualRows(), std::make_pair(2, 2));

    dialogs.fileAnswers.push_back(dir.File("chart.png"));
    chart->SavePng();
    EXPECT_TRUE(dir.Read("chart.png").startsWith("\x89PNG"));
    dialogs.fileAnswers.push_back(dir.File("missing-folder/chart.png"));
    chart->SavePng();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.startsWith(
        "Cannot write the file " + dir.File("missing-folder/chart.png") + ": the folder does not exist"))
        << dialogs.messages.back().text.toStdString();
    EXPECT_EQ(dialogs.messages.back().parent, chart);
    EXPECT_EQ(dialogs.fileRequests.back().parent, chart);
}

TEST_F(LotFeaturesTest, ExportsFromTheMenu) {
    lot->AExportXlsx->trigger(); // empty table: refused, no file dialog
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The table is empty: nothing to export"));
    EXPECT_TRUE(dialogs.fileRequests.empty());

    Open();
    dialogs.fileAnswers.push_back(dir.File("lot.kml"));
    lot->AExportKml->trigger();
    EXPECT_TRUE(dir.Read("lot.kml").contains("<Placemark>"));
    EXPECT_EQ(dialogs.fileRequests.back().filters, QStringList{QStringLiteral("KML files (*.kml)")});
    dialogs.fileAnswers.push_back(dir.File("lot.xlsx"));
    lot->AExportXlsx->trigger();
    EXPECT_TRUE(dir.Read("lot.xlsx").startsWith("PK"));
    EXPECT_EQ(dialogs.messages.size(), 1u); // success goes to the status line
}

// A new text missing from the file is appended in its own section; the documented rewrite never
// runs, so a user's edited documented text survives the first use of the new features.
TEST_F(LotFeaturesTest, NewTextsNeverResetTheUsersTexts) {
    const QString english = dir.File("Language/English.ini");
    QByteArray text = dir.Read("Language/English.ini");
    ASSERT_TRUE(text.contains("Open=Open file..."));
    text.replace("Open=Open file...", "Open=Load a file");
    // The new section as a user may find it: some keys only.
    const qsizetype extra = text.indexOf("[Extra]");
    if (extra >= 0)
        text.truncate(extra);
    dir.Write("Language/English.ini", text);
    Start();
    lot->ShowChart();
    const QByteArray after = dir.Read("Language/English.ini");
    EXPECT_TRUE(after.startsWith(text)) << "the documented part changed";
    EXPECT_TRUE(after.contains("\r\n[Extra]\r\nLotStatistics=Lot statistics\r\n"));
    EXPECT_TRUE(after.contains("ChartAxisX=Measurement (table order)\r\n"));
    EXPECT_EQ(form->AOpen->text(), QStringLiteral("Load a file"));
}

TEST_F(LotFeaturesTest, LanguageChangeRenamesEverything) {
    lot->SetPanelShown(true);
    Open();
    lot->ShowChart();
    form->ALangRusExecute();
    EXPECT_EQ(lot->AShowLotStatistics->text(), QStringLiteral("Статистика партии"));
    EXPECT_EQ(lot->AExportXlsx->text(), QStringLiteral("Экспорт в Excel..."));
    EXPECT_EQ(lot->Panel()->ShownLines()[0].section(u'\t', 0, 0), QStringLiteral("Плотность, кг/м^3"));
    EXPECT_EQ(lot->Chart()->windowTitle(), QStringLiteral("График плотности"));
    // Every control of the panel is named and has a hint, in the interface language.
    for (QWidget* w : lot->Panel()->findChildren<QWidget*>()) {
        if (!w->objectName().startsWith(u"Lot") || !w->isVisibleTo(lot->Panel()))
            continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
    }

    // Pictures of the panel and the chart for the documentation, when asked for.
    const QString pictures = qEnvironmentVariable("LUM1_LOT_PICTURES");
    if (pictures.isEmpty())
        return;
    for (bool english : {false, true}) {
        english ? form->ALangEngExecute() : form->ALangRusExecute();
        Open(); // the record texts in the language of the picture
        lot->Panel()->SetTargetDensity(2350);
        SelectRows(1, 2);
        form->show();
        lot->ShowChart();
        QCoreApplication::processEvents();
        const QString suffix = english ? QStringLiteral("-en.png") : QStringLiteral("-ru.png");
        form->grab().save(pictures + QStringLiteral("/lot-panel") + suffix);
        SelectRows(0, 0); // the chart of the whole table
        QCoreApplication::processEvents();
        lot->Chart()->grab().save(pictures + QStringLiteral("/density-chart") + suffix);
    }
}

} // namespace
} // namespace lum1
