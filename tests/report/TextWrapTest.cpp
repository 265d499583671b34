// Line breaks in the report's boxes: punctuation stays with the word before it, a hyphen between
// letters breaks before a word is cut, and the Russian headings read as words.
#include "report/TextWrap.h"

#include "ReportFixture.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace lum1 {
namespace {

QStringList Lines(const std::vector<TTextLine>& lines) {
    QStringList out;
    for (const TTextLine& l : lines)
        out << l.PlainText();
    return out;
}

TEST(TextWrap, PunctuationStaysWithItsWordAndHyphensBreakBeforeWordsAreCut) {
    const TFontSpec font{QStringLiteral("Times New Roman"), 13, true};
    TFontCache fonts;
    struct Case {
        const char* text;
        const char* room; // the box is as wide as this text
        double overhang;
        QStringList lines;
    };
    const Case cases[] = {
        // The comma reaches into the box's side gap rather than starting the next line.
        {"Температура, °C", "Температура", 4, {"Температура,", "°C"}},
        {"Плотность, кг/м³", "Плотность", 4, {"Плотность,", "кг/м³"}},
        // Without room for it, the cut inside the word moves back and the comma keeps a letter.
        {"Температура, °C", "Температура", 0, {"Температур", "а, °C"}},
        // After the hyphen before inside a word; a hyphen before a digit is no break.
        {"Щебеночно-мастичный асфальт", "Щебеночно-мастич", 0, {"Щебеночно-", "мастичный", "асфальт"}},
        {"Трасса М-4, км 112", "Трасса М-4", 4, {"Трасса М-4,", "км 112"}},
        {"-3.3 (U)", "-3.3", 0, {"-3.3", "(U)"}},
        // A word too long for the box is still cut where the box ends.
        {"Коэффициент уплотнения", "Коэффициен", 0, {"Коэффициен", "т", "уплотнения"}},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        const double width = fonts.Metrics(font, {}).horizontalAdvance(QString::fromUtf8(c.room)) + 0.01;
        const std::vector<TTextLine> lines =
            WrapParagraphs(ParseMemoText(text, false), font, width, true, fonts, c.overhang);
        EXPECT_EQ(Lines(lines), c.lines);
        for (const TTextLine& l : lines)
            EXPECT_LE(l.Width, width + c.overhang);
        // The box's text reads as it was given, a broken word joined again.
        TPreparedBox box;
        box.Lines = lines;
        EXPECT_EQ(box.PlainText(), text);
    }
}

TEST(TextWrap, RussianHeadingsNeverStartALineWithPunctuationOrCutAHyphenatedWord) {
    test::ReportHarness h(false);
    h.rows = test::NumberedRows(1);
    h.rows[0][8] = QStringLiteral("Щебеночно-мастичный");
    TReportGrid grid = h.Grid();
    // The program's widths in a 1024-pixel window.
    grid.ColWidths = {45, 125, 64, 79, 75, 75, 83, 168, 105, 54, 70};
    h.report.APrintExecute(1, grid, h.environment);
    const TPreparedPage& page = h.Prepared().Pages.at(0);
    auto linesOf = [&page](int memo) {
        return Lines(test::BoxesOf(page, QStringLiteral("Memo%1").arg(memo))[0]->Lines);
    };
    EXPECT_EQ(linesOf(102), QStringList({"Плотность,", "кг/м³"}));
    EXPECT_EQ(linesOf(105), QStringList({"Температура,", "°C"}));
    EXPECT_EQ(linesOf(208), QStringList({"Щебеночно-", "мастичный"}));
    for (const TPreparedBox& box : page.Boxes)
        for (const TTextLine& line : box.Lines) {
            const QString text = line.PlainText();
            EXPECT_FALSE(text.startsWith(u',') || text.startsWith(u'.')) << text.toStdString();
        }
}

} // namespace
} // namespace lum1
