// The correlation window driven as a user drives it: two spreadsheet columns pasted through the
// clipboard with Ctrl+V, the offset or the line chosen with the mouse, every refusal of the fit
// listed in its own words, and an outlier kept only when the user ticks that choice.
#include "lot/CorrelationWindow.h"
#include "lot/CorrelationPlot.h"

#include "acceptance/AcceptanceTexts.h"
#include "lang/ExtraTexts.h"

#include "RecordFixture.h"
#include "ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace lum1 {
namespace {

const TTextLookup kEnglish = [](const QString& key) { return BuiltInExtraText(key, true); };

// Records 1..n with the given gauge densities.
std::vector<TLotRecord> Lot(const std::vector<float>& densities) {
    std::vector<TLotRecord> lot;
    for (size_t i = 0; i < densities.size(); ++i) {
        TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i + 1));
        r.Density = densities[i];
        lot.push_back({r.Number, r});
    }
    return lot;
}

class CorrelationWindowTest : public ::testing::Test {
protected:
    std::unique_ptr<TCorrelationWindow> Open(std::vector<TLotRecord> lot,
                                             std::optional<TLotCorrelation> current = std::nullopt) {
        TCorrelationSetup setup;
        setup.Lot = std::move(lot);
        setup.Current = std::move(current);
        setup.Author = QStringLiteral("Ivanova");
        setup.Dialogs = &dialogs;
        setup.Extra = kEnglish;
        setup.Caption = QStringLiteral("LUM-1");
        setup.Help = [this] { ++helpCalls; };
        setup.Now = [] { return QDateTime(QDate(2024, 5, 6), QTime(9, 30)); };
        auto w = std::make_unique<TCorrelationWindow>(std::move(setup));
        w->show();
        return w;
    }
    // Ctrl+V in the pairs' table with the text on the clipboard, as from a spreadsheet.
    static void PasteKeys(TCorrelationWindow& w, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(w.PairsTable(), Qt::Key_V, Qt::ControlModifier);
    }
    static QString Cell(const TCorrelationWindow& w, int row, int column) {
        const QTableWidgetItem* item = w.PairsTable()->item(row, column);
        return item ? item->text() : QString();
    }

    test::ScriptedDialogs dialogs;
    int helpCalls = 0;
};

// Independent figures: the five-pair case of the correlation's own tests (exact rational sums):
// offset 16.4, slope 0.9765330189, intercept 71.2423349057, R^2 0.9877210682, SEE 5.7887842925.
// The first four pairs alone: differences 21, 12, 21, 10, offset 16.0.
TEST_F(CorrelationWindowTest, PastedColumnsGiveTheOffsetThenTheLineChosenWithTheMouse) {
    auto w = Open(Lot({2280, 2310, 2335, 2360, 2400, 2290}));
    PasteKeys(*w, QStringLiteral("Record\tCore\r\n1\t2301\r\n2\t2322\r\n3\t2356\r\n4\t2370\r\n"));
    EXPECT_EQ(Cell(*w, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(*w, 3, 1), QStringLiteral("2370"));
    EXPECT_EQ(Cell(*w, 3, 2), QStringLiteral("2360")); // the record's gauge density
    EXPECT_EQ(Cell(*w, 1, 3), QStringLiteral("-4.0")); // 12 - 16
    EXPECT_EQ(w->PairsTable()->rowCount(), 5);         // and a blank row for the next pair
    EXPECT_NEAR(w->Fit(TCorrelationKind::Offset).Offset, 16.0, 1e-9);
    EXPECT_TRUE(w->OffsetText().startsWith(QStringLiteral("offset +16.0 kg/m^3 from 4 pairs")))
        << w->OffsetText().toStdString();
    const QString tooFew = BuiltInExtraText(u"AccTooFewForLine", true).arg(4);
    EXPECT_EQ(w->LineText(), tooFew);
    EXPECT_TRUE(w->ApplyButton()->isEnabled());
    EXPECT_TRUE(w->Plot()->ShowsOffset());
    EXPECT_FALSE(w->Plot()->ShowsLine());

    // The line cannot be had from four pairs: chosen, it is refused with its reason.
    QTest::mouseClick(w->LineButton(), Qt::LeftButton);
    EXPECT_EQ(w->Kind(), TCorrelationKind::Line);
    EXPECT_FALSE(w->ApplyButton()->isEnabled());
    EXPECT_EQ(w->ShownIssues(), QStringList{tooFew});

    // The fifth pair pasted at the blank row: the line, its residuals and both fits drawn.
    w->PairsTable()->setCurrentCell(4, 0);
    PasteKeys(*w, QStringLiteral("5;2418"));
    EXPECT_TRUE(w->ShownIssues().isEmpty());
    EXPECT_NEAR(w->Fit(TCorrelationKind::Line).Slope, 0.9765330189, 1e-9);
    EXPECT_NEAR(w->Fit(TCorrelationKind::Line).Intercept, 71.2423349057, 1e-6);
    EXPECT_TRUE(w->LineText().contains(QStringLiteral("0.9765"))) << w->LineText().toStdString();
    EXPECT_TRUE(w->LineText().contains(QStringLiteral("0.988"))) << w->LineText().toStdString();
    EXPECT_FALSE(Cell(*w, 0, 4).isEmpty());
    EXPECT_TRUE(w->Plot()->ShowsLine());
    EXPECT_EQ(w->Plot()->PairCount(), 5);

    QTest::mouseClick(w->ApplyButton(), Qt::LeftButton);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    ASSERT_TRUE(w->Result());
    const TLotCorrelation& c = *w->Result();
    EXPECT_EQ(c.Kind, TCorrelationKind::Line);
    EXPECT_EQ(c.Pairs.size(), 5u);
    EXPECT_EQ(c.Author, QStringLiteral("Ivanova"));
    EXPECT_NEAR(c.Correction.Slope, 0.9765330189, 1e-9);
    EXPECT_EQ(c.Made, QDateTime(QDate(2024, 5, 6), QTime(9, 30)));
}

// Pairs typed cell by cell as a keyboard sends them (every key to the widget that has the focus):
// a key on a cell starts its edit with that key, Tab goes on to the core, Return ends the row.
// A window closed while a cell is still being edited goes without a crash.
TEST_F(CorrelationWindowTest, PairsTypedCellByCellAsOnAKeyboard) {
    auto w = Open(Lot({2376, 2301, 2393, 2350}));
    QApplication::setActiveWindow(w.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    QTableWidget* table = w->PairsTable();
    table->setFocus();
    const auto type = [table](int row, const QString& text) {
        table->setCurrentCell(row, 0);
        for (const QChar c : text) {
            QWidget* focus = QApplication::focusWidget();
            ASSERT_TRUE(focus);
            if (c == u'\t')
                QTest::keyClick(focus, Qt::Key_Tab);
            else if (c == u'\n')
                QTest::keyClick(focus, Qt::Key_Return);
            else
                QTest::keyClick(focus, c.toLatin1());
        }
        if (text.endsWith(u'\n')) { // the row is committed once the editor has closed
            ASSERT_TRUE(QTest::qWaitFor([table] { return QApplication::focusWidget() == table; }));
        }
    };
    type(0, QStringLiteral("1\t2396\n"));
    type(1, QStringLiteral("2\t2321\n"));
    type(2, QStringLiteral("3\t2413,5\n"));
    EXPECT_EQ(Cell(*w, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(*w, 0, 1), QStringLiteral("2396"));
    EXPECT_EQ(Cell(*w, 1, 1), QStringLiteral("2321"));
    EXPECT_EQ(Cell(*w, 2, 1), QStringLiteral("2413,5"));
    ASSERT_TRUE(w->Fit(TCorrelationKind::Offset).Ok());
    EXPECT_NEAR(w->Fit(TCorrelationKind::Offset).Correction().Offset, 20.1666666667, 1e-9);

    type(3, QStringLiteral("4\t2370"));
    ASSERT_TRUE(qobject_cast<QLineEdit*>(QApplication::focusWidget())); // the core's editor is open
    w.reset();
}

TEST_F(CorrelationWindowTest, EveryRefusalListedInItsOwnWordsAndNothingApplied) {
    auto w = Open(Lot({2280, 2310, 2335, 2360, 2400}));
    PasteKeys(*w, QStringLiteral("1\t0\n2\t-5\n3\t#N/A\n9\t2400\n4\t2370\n4\t2371\n"));
    const QStringList expected{
        QStringLiteral("Pair 1 (record 1): the core density is 0"),
        QStringLiteral("Pair 2 (record 2): the core density is negative (-5.0)"),
        QStringLiteral("Pair 3 (record 3): the core density is not a number"),
        QStringLiteral("Pair 4: record 9 is not in the lot"),
        QStringLiteral("Pairs 5 and 6 both name record 4"),
    };
    const QStringList shown = w->ShownIssues();
    for (const TAcceptanceIssue& issue : w->Fit(TCorrelationKind::Offset).Issues)
        EXPECT_TRUE(shown.contains(AcceptanceIssueText(issue, kEnglish, u'.')));
    ASSERT_EQ(shown.size(), 6) << shown.join(u'\n').toStdString(); // and too few usable pairs
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(shown[i], expected[i]);
    EXPECT_EQ(Cell(*w, 3, 5), shown[3]);               // the note beside the pair
    EXPECT_EQ(Cell(*w, 2, 1), QStringLiteral("#N/A")); // as pasted, never turned into a number
    EXPECT_FALSE(w->ApplyButton()->isEnabled());

    // A record number that is no number is named by its row.
    w->PairsTable()->item(0, 0)->setText(QStringLiteral("x1"));
    EXPECT_EQ(w->ShownIssues().front(), QStringLiteral("Row 1: \"x1\" is not a record number"));
    EXPECT_FALSE(w->ApplyButton()->isEnabled());

    // Text without pairs: a message over the window, and nothing pasted.
    const int rows = w->PairsTable()->rowCount();
    PasteKeys(*w, QStringLiteral("1\t2300\nthree fields here\n"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].parent, w.get());
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("The text pasted, line 2")));
    EXPECT_EQ(w->PairsTable()->rowCount(), rows);
}

// Offset differences 20, 21, 19, 20, 21 and one of 80: the last pair is an outlier.
TEST_F(CorrelationWindowTest, AnOutlierStaysInOnlyByTheUsersChoice) {
    auto w = Open(Lot({2300, 2310, 2320, 2330, 2340, 2350}));
    PasteKeys(*w, QStringLiteral("1\t2320\n2\t2331\n3\t2339\n4\t2350\n5\t2361\n6\t2430\n"));
    ASSERT_EQ(w->ShownIssues().size(), 1);
    EXPECT_TRUE(w->ShownIssues()[0].startsWith(QStringLiteral("Pair 6 (record 6)")))
        << w->ShownIssues()[0].toStdString();
    EXPECT_EQ(Cell(*w, 5, 5), QStringLiteral("outlier"));
    EXPECT_EQ(w->Plot()->OutlierCount(), 1);
    EXPECT_FALSE(w->ApplyButton()->isEnabled());

    QTest::keyClick(w->KeepOutliersBox(), Qt::Key_Space);
    EXPECT_TRUE(w->KeepOutliersBox()->isChecked());
    EXPECT_TRUE(w->ApplyButton()->isEnabled());
    QTest::keyClick(w->ApplyButton(), Qt::Key_Space);
    ASSERT_TRUE(w->Result());
    EXPECT_TRUE(w->Result()->KeepOutliers);
    ASSERT_EQ(w->Result()->Correction.Notes.size(), 1u);
    EXPECT_EQ(w->Result()->Correction.Notes[0].Kind, TAcceptanceIssue::OutlierKept);
}

TEST_F(CorrelationWindowTest, ReopenedWithTheLotsCorrelationWhichCanBeRemoved) {
    const auto lot = Lot({2300, 2350, 2400});
    TCorrelationFit fit = FitCorrelation(lot, std::vector<TCorePair>{{1, 2320}, {2, 2366}, {3, 2418}},
                                         TCorrelationKind::Offset);
    TLotCorrelation kept = KeepCorrelation(fit, {}, QStringLiteral("Petrov"), {});
    auto w = Open(lot, kept);
    EXPECT_EQ(Cell(*w, 2, 1), QStringLiteral("2418"));
    EXPECT_TRUE(w->OffsetButton()->isChecked());
    QTest::keyClick(w->PairsTable(), Qt::Key_F1);
    EXPECT_EQ(helpCalls, 1);
    EXPECT_TRUE(w->RemoveButton()->isEnabled());
    QTest::mouseClick(w->RemoveButton(), Qt::LeftButton);
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_FALSE(w->Result());
}

} // namespace
} // namespace lum1
