// The measurement report: column scaling, the rows it prints, pages, stretching rows and the
// texts of its headings.
#include "ReportFixture.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

using test::BoxesOf;
using test::PrintedNumbers;
using test::ReportHarness;
using test::TextsOf;

QStringList Range(int first, int last) {
    QStringList l;
    for (int i = first; i <= last; ++i)
        l << QString::number(i);
    return l;
}

TEST(MeasurementReport, ColumnsTakeTheGridsProportionsWithinThePage) {
    TMeasurementReport report;
    EXPECT_EQ(report.frxReport1.Pages.front()->Width(), 1123);
    // S = 746, k = 1023 / 746 as a single-precision number, each width truncated.
    report.ScaleColumns({45, 125, 64, 64, 64, 64, 64, 64, 64, 64, 64});
    const int expected[ReportColumns] = {61, 171, 87, 87, 87, 87, 87, 87, 87, 87, 87};
    int left = 0;
    for (int c = 0; c < ReportColumns; ++c) {
        for (int base : {100, 200}) {
            const TfrxMemoView* memo = report.frxReport1.FindObject(QStringLiteral("Memo%1").arg(base + c));
            ASSERT_NE(memo, nullptr);
            EXPECT_EQ(memo->Left, left) << "column " << c;
            EXPECT_EQ(memo->Width, expected[c]) << "column " << c;
        }
        left += expected[c];
    }
    EXPECT_LE(left, 1023);
}

TEST(MeasurementReport, ColumnsOfNoWidthKeepTheTemplatesPlaces) {
    TMeasurementReport report;
    report.ScaleColumns({});
    EXPECT_NEAR(report.frxReport1.FindObject(QStringLiteral("Memo201"))->Width, 139.843, 1e-9);
}

TEST(MeasurementReport, RowRangeFollowsTheSelectionAndTheAnswer) {
    struct Case {
        const char* what;
        int top, bottom;
        MsgResult answer;
        bool asked;
        QStringList printed; // empty: no report
    };
    const Case cases[] = {
        {"single selected row: whole table, no question", 5, 5, MsgResult::Yes, false, Range(1, 10)},
        {"block, Yes: the block", 5, 7, MsgResult::Yes, true, Range(4, 6)},
        {"block, No: whole table", 5, 7, MsgResult::No, true, Range(1, 10)},
        {"block, Cancel: nothing", 5, 7, MsgResult::Cancel, true, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReportHarness h;
        h.rows = test::NumberedRows(10);
        h.dialogs.messageAnswers.push_back(c.answer);
        h.Print(c.top, c.bottom);
        ASSERT_EQ(h.dialogs.messages.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(
                h.dialogs.messages[0].text,
                "Create report on the selected block? (No - throughout the table, Cancel - do not create)");
            EXPECT_EQ(h.dialogs.messages[0].caption, "LUM-1.2. Asphalt densitometer");
            EXPECT_EQ(h.dialogs.messages[0].buttons, MsgButtons::YesNoCancel);
            EXPECT_EQ(h.dialogs.messages[0].icon, MsgIcon::Question);
        }
        if (c.printed.isEmpty()) {
            EXPECT_EQ(h.shown, 0);
            EXPECT_TRUE(h.status.isEmpty());
            continue;
        }
        EXPECT_EQ(h.shown, 1);
        EXPECT_EQ(h.status, QStringList{"The report was generated"});
        EXPECT_EQ(PrintedNumbers(h.Prepared()), c.printed);
    }
}

TEST(MeasurementReport, AnEmptyStoreMakesNoReport) {
    ReportHarness h;
    h.rows = test::NumberedRows(1);
    h.report.APrintExecute(0, h.Grid(2, 3), h.environment);
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(h.shown, 0);
    EXPECT_TRUE(h.status.isEmpty());
}

TEST(MeasurementReport, FortyRecordsSpanPagesWithHeadingsOnEachAndTheTitleOnTheFirst) {
    ReportHarness h;
    h.rows = test::NumberedRows(40);
    h.Print();
    const TPreparedReport& r = h.Prepared();
    ASSERT_GE(r.Pages.size(), 2u);
    EXPECT_EQ(PrintedNumbers(r), Range(1, 40));
    const double pageBottom = (210 - 10) * UnitsPerMm;
    for (size_t p = 0; p < r.Pages.size(); ++p) {
        SCOPED_TRACE(p);
        const TPreparedPage& page = r.Pages[p];
        EXPECT_EQ(TextsOf(page, QStringLiteral("Memo2")).size(), p == 0 ? 1 : 0);
        EXPECT_EQ(TextsOf(page, QStringLiteral("Memo1")), QStringList{QStringLiteral("- %1 -").arg(p + 1)});
        const auto headings = BoxesOf(page, QStringLiteral("Memo101"));
        ASSERT_EQ(headings.size(), 1u);
        EXPECT_EQ(headings[0]->PlainText(), "Time, date");
        // The heading opens the page (below the title on the first), the footer ends it.
        const double headingTop = (10 * UnitsPerMm) + (p == 0 ? 37.795 : 0);
        EXPECT_NEAR(headings[0]->Rect.top(), headingTop, 1e-6);
        const TPreparedBox* footer = BoxesOf(page, QStringLiteral("Memo1"))[0];
        EXPECT_NEAR(footer->Rect.top(), pageBottom - 22.677 + 3.780, 1e-6);
        for (const TPreparedBox* row : BoxesOf(page, QStringLiteral("Memo205"))) {
            EXPECT_GE(row->Rect.top(), headings[0]->Rect.bottom() - 1e-6);
            EXPECT_LE(row->Rect.bottom(), pageBottom - 22.677 + 1e-6);
        }
    }
    EXPECT_EQ(TextsOf(r.Pages[0], QStringLiteral("Memo2")), QStringList{"Measured debsity values"});
}

TEST(MeasurementReport, ALongObjectNameWrapsAndItsWholeRowGrows) {
    ReportHarness h;
    h.rows = test::NumberedRows(3);
    h.rows[1][6] = QStringLiteral("Подъезд к аэропорту Шереметьево, второй участок");
    h.Print();
    const TPreparedPage& page = h.Prepared().Pages.at(0);
    const auto names = BoxesOf(page, QStringLiteral("Memo206"));
    ASSERT_EQ(names.size(), 3u);
    EXPECT_GE(names[1]->Lines.size(), 2u);
    EXPECT_EQ(names[1]->PlainText(), h.rows[1][6]);
    EXPECT_NEAR(names[0]->Rect.height(), 18.898, 1e-6);
    EXPECT_GT(names[1]->Rect.height(), 30.0);
    for (int c = 0; c < ReportColumns; ++c) {
        const auto cells = BoxesOf(page, QStringLiteral("Memo%1").arg(200 + c));
        EXPECT_EQ(cells[1]->Rect, QRectF(cells[1]->Rect.left(), names[1]->Rect.top(), cells[1]->Rect.width(),
                                         names[1]->Rect.height()))
            << "column " << c;
        // The next row starts where the tall one ends: no gap, no overlap.
        EXPECT_NEAR(cells[2]->Rect.top(), names[1]->Rect.bottom(), 1e-6);
    }
}

TEST(MeasurementReport, ARowThatWouldCrossThePageBottomMovesWholeToTheNextPage) {
    // The first page holds 32 plain rows. A tall 32nd row would cross the footer, so it opens
    // page 2 instead, whole.
    ReportHarness h;
    h.rows = test::NumberedRows(33);
    h.rows[31][6] = QStringLiteral("Подъезд к аэропорту Шереметьево, второй участок");
    h.Print();
    const TPreparedReport& r = h.Prepared();
    ASSERT_EQ(r.Pages.size(), 2u);
    EXPECT_EQ(TextsOf(r.Pages[0], QStringLiteral("Memo200")), Range(1, 31));
    EXPECT_EQ(TextsOf(r.Pages[1], QStringLiteral("Memo200")), Range(32, 33));
    const TPreparedBox* moved = BoxesOf(r.Pages[1], QStringLiteral("Memo206"))[0];
    EXPECT_EQ(moved->PlainText(), h.rows[31][6]);
    EXPECT_NEAR(moved->Rect.top(), 10 * UnitsPerMm + 37.795, 1e-6);
}

TEST(MeasurementReport, HeadingsFollowTheLanguageWithARaisedThree) {
    const QStringList english = {"№",        "Time, date",          "Density, kg/m³", "Compaction factor",
                                 "Porosity", "Temperature, °C",     "Object",         "Coordinates",
                                 "Material", "Layer thickness, mm", "Number of meas."};
    const QStringList russian = {"№",
                                 "Время, дата",
                                 "Плотность, кг/м³",
                                 "Коэффициент уплотнения",
                                 "Пористость",
                                 "Температура, °C",
                                 "Объект",
                                 "Координаты",
                                 "Материал",
                                 "Толщина слоя, мм",
                                 "Количество замеров"};
    for (bool inEnglish : {true, false}) {
        SCOPED_TRACE(inEnglish ? "English" : "Russian");
        ReportHarness h(inEnglish);
        h.rows = test::NumberedRows(2);
        h.Print();
        const TPreparedPage& page = h.Prepared().Pages.at(0);
        QStringList headings;
        for (int c = 0; c < ReportColumns; ++c)
            headings << TextsOf(page, QStringLiteral("Memo%1").arg(100 + c)).value(0);
        EXPECT_EQ(headings, inEnglish ? english : russian);
        // The 3 is a raised run of its own; no tag is ever printed.
        std::vector<TTextRun> runs;
        for (const TTextLine& line : BoxesOf(page, QStringLiteral("Memo102"))[0]->Lines)
            runs.insert(runs.end(), line.Runs.begin(), line.Runs.end());
        ASSERT_FALSE(runs.empty());
        EXPECT_EQ(runs.back().Text, "3");
        EXPECT_EQ(runs.back().Script, TScript::Super);
        for (const TPreparedBox& box : page.Boxes)
            EXPECT_FALSE(box.PlainText().contains(u"sup")) << box.Name.toStdString();
    }
}

TEST(MeasurementReport, MarkupInCellsPrintsAsItStands) {
    ReportHarness h;
    h.rows = test::NumberedRows(1);
    h.rows[0][6] = QStringLiteral("<b>A&amp;B</b> <sup>2");
    h.rows[0][8] = QStringLiteral("[Заголовок] & <");
    h.Print();
    const TPreparedPage& page = h.Prepared().Pages.at(0);
    EXPECT_EQ(TextsOf(page, QStringLiteral("Memo206")), QStringList{"<b>A&amp;B</b> <sup>2"});
    EXPECT_EQ(TextsOf(page, QStringLiteral("Memo208")), QStringList{"[Заголовок] & <"});
}

TEST(MeasurementReport, VariablesAreMatchedExactly) {
    ReportHarness h;
    h.rows = test::NumberedRows(1);
    h.Print();
    struct Case {
        const char16_t* name;
        const char* value;
    };
    // "Porosity" with a Latin letter where the heading has Cyrillic "З", another case, an
    // unknown name.
    const Case cases[] = {{u"PorosityЗ", "Porosity"},
                          {u"PorosityZ", ""},
                          {u"заголовок", ""},
                          {u"Unknown", ""},
                          {u"КуЗ", "Compaction factor"}};
    for (const Case& c : cases) {
        QString value = QStringLiteral("stale");
        h.report.frxReport1GetValue(QString::fromUtf16(c.name), value);
        EXPECT_EQ(value, QString::fromUtf8(c.value)) << QString::fromUtf16(c.name).toStdString();
    }
}

} // namespace
} // namespace lum1
