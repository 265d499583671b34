// The lot acceptance in the main window: the submenu after the documented items, the correlation
// window opened over the window and its correction in the lot views, a correlation that no longer
// holds for the table shown, and the acceptance report made or refused with a message.
#include "app/AcceptanceFeatures.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "lang/ExtraTexts.h"
#include "lot/CorrelationWindow.h"
#include "lot/DensityChart.h"
#include "lot/LotPanel.h"
#include "platform/IniFile.h"
#include "report/AcceptanceReport.h"

#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

QByteArray LotFile(const std::vector<float>& densities) {
    QByteArray file;
    for (size_t i = 0; i < densities.size(); ++i) {
        TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i + 1));
        r.Density = densities[i];
        file.append(test::RecordBytes(r));
    }
    return file;
}

class AcceptanceFeaturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n[LotStatistics]\r\nVisible=1\r\n");
        dir.Write("lot.lum1", LotFile({2352, 2376, 2400, 2388, 2364}));
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->resize(900, 600);
        acceptance = form->AcceptanceFeatures();
        acceptance->showReport = [this](TfrxReport& report) { shown.push_back(&report); };
    }
    void Open(const QString& name) {
        dialogs.fileAnswers.push_back(dir.File(name));
        form->AOpenExecute();
        form->LotFeatures()->Recompute();
    }
    QStringList PageTexts(const TfrxReport& report) const {
        QStringList texts;
        for (const TPreparedPage& page : report.PreparedPages().Pages)
            for (const TPreparedBox& b : page.Boxes)
                texts << b.PlainText();
        return texts;
    }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
    TAcceptanceFeatures* acceptance = nullptr;
    std::vector<TfrxReport*> shown;
};

TEST_F(AcceptanceFeaturesTest, SubmenuAfterTheLotItemsInTheInterfaceLanguage) {
    EXPECT_EQ(form->itmParam->actions().back(), acceptance->itmAcceptance->menuAction());
    EXPECT_EQ(acceptance->itmAcceptance->title(), QStringLiteral("Lot acceptance"));
    for (QAction* a : acceptance->itmAcceptance->actions())
        EXPECT_TRUE(a->isSeparator() || !a->toolTip().isEmpty()) << a->objectName().toStdString();
    form->ALangRusExecute();
    EXPECT_EQ(acceptance->itmAcceptance->title(), QStringLiteral("Приёмка партии"));
    EXPECT_EQ(acceptance->ACorrelation->text(), QStringLiteral("Поправка по кернам..."));
}

// The correlation window from the menu, over the main window: two columns pasted, applied; the
// corrected values join the panel and the chart while the measured ones stay as they were.
TEST_F(AcceptanceFeaturesTest, AppliedCorrelationJoinsTheLotViewsUntilTheTableChanges) {
    Open(QStringLiteral("lot.lum1"));
    const QStringList measured = form->LotFeatures()->Panel()->ShownLines();
    QWidget* parent = nullptr;
    acceptance->execDialog = [&parent](QDialog& d) {
        parent = d.parentWidget();
        auto& w = dynamic_cast<TCorrelationWindow&>(d);
        w.show();
        QGuiApplication::clipboard()->setText(QStringLiteral("1\t2370\n2\t2395\n3\t2417\n"));
        QTest::keyClick(w.PairsTable(), Qt::Key_V, Qt::ControlModifier);
        QTest::mouseClick(w.ApplyButton(), Qt::LeftButton);
        return w.result();
    };
    acceptance->ACorrelation->trigger();
    EXPECT_EQ(parent, form.get());
    ASSERT_TRUE(acceptance->Correlation());
    EXPECT_NEAR(acceptance->Correlation()->Correction.Offset, 18.0, 1e-9); // (18 + 19 + 17) / 3

    const QStringList lines = form->LotFeatures()->Panel()->ShownLines();
    ASSERT_EQ(lines.size(), measured.size() + 4);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lines[i], measured[i]);
    // Mean 2376 + 18 = 2394 of 2400.
    EXPECT_TRUE(lines[5].startsWith(QStringLiteral("Density, kg/m^3 (corrected)\t5 / 5\t2394\t")))
        << lines[5].toStdString();
    // 2394 / 2400 = 0.9975, whose binary value lies below the half: printed 0.997.
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("Compaction factor (corrected)\t5 / 5\t0.997\t")))
        << lines[6].toStdString();
    EXPECT_TRUE(lines.back().contains(QStringLiteral("offset +18.0 kg/m^3 from 3 pairs")))
        << lines.back().toStdString();
    form->LotFeatures()->ShowChart();
    EXPECT_EQ(form->LotFeatures()->Chart()->CorrectedCount(), 5);

    // Another file, its record 1 another measurement: the correction is no longer applied, and
    // the report is refused with the pair named.
    dir.Write("other.lum1", LotFile({2300, 2376, 2400}));
    Open(QStringLiteral("other.lum1"));
    const QStringList after = form->LotFeatures()->Panel()->ShownLines();
    EXPECT_EQ(after.size(), 8);
    EXPECT_TRUE(
        after.back().contains(QStringLiteral("not applied: Pair 1: record 1 now has a density of 2300")))
        << after.back().toStdString();
    EXPECT_EQ(form->LotFeatures()->Chart()->CorrectedCount(), 0);
    dialogs.messages.clear();
    acceptance->AAcceptanceReport->trigger();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("does not hold for the lot shown")));
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Pair 1: record 1 now has")));
}

TEST_F(AcceptanceFeaturesTest, ReportOfTheTableWithTheHeaderAsTyped) {
    Open(QStringLiteral("lot.lum1"));
    TIniFile ini(dir.File("lum1.ini"));
    TReportHeaderSetup header;
    header.Header.Organisation = QStringLiteral("\"Roads\" & Co. <b>[Lab]</b>");
    header.Header.Operator = QStringLiteral("А. Иванова");
    WriteReportHeader(ini, header);
    TAcceptanceLimits limits;
    limits.Lower = 0.99;
    WriteAcceptanceLimits(ini, limits);

    acceptance->AAcceptanceReport->trigger();
    ASSERT_EQ(shown.size(), 1u) << (dialogs.messages.empty() ? "" : dialogs.messages[0].text.toStdString());
    EXPECT_EQ(shown[0]->PreviewParent, form.get());
    const QStringList texts = PageTexts(*shown[0]);
    EXPECT_TRUE(texts.contains(header.Header.Organisation));
    EXPECT_TRUE(texts.contains(QStringLiteral("А. Иванова")));
    EXPECT_TRUE(texts.contains(QStringLiteral("LOT REJECTED"))); // 0.980 is below 0.99
    EXPECT_TRUE(texts.contains(QStringLiteral("Page 1 of 1")));
}

TEST_F(AcceptanceFeaturesTest, ALotWithoutAValidDensityGetsAMessageNotAReport) {
    TMeasRecord deleted = test::SampleRecord(1);
    deleted.Seconds = DeletedMark;
    TMeasRecord mode2 = test::SampleRecord(2);
    mode2.Mode = 2;
    dir.Write("none.lum1", test::RecordBytes(deleted) + test::RecordBytes(mode2));
    Open(QStringLiteral("none.lum1"));
    acceptance->AAcceptanceReport->trigger();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.contains(BuiltInExtraText(u"AccNoValidDensity", true)))
        << dialogs.messages[0].text.toStdString();

    // An empty table is no lot at all.
    dialogs.messages.clear();
    form->DataClear();
    acceptance->ACorrelation->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("The table is empty: there is no lot"));
}

} // namespace
} // namespace lum1
