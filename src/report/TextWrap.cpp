#include "report/TextWrap.h"

namespace lum1 {

namespace {

bool SameStyle(const TTextRun& a, const TTextRun& b) {
    return a.Script == b.Script && a.Bold == b.Bold && a.Italic == b.Italic && a.Underline == b.Underline;
}

// A paragraph as one string with the run of every character, so that a word may span runs.
struct TFlatText {
    QString text;
    std::vector<int> runOf;
    const TParagraph* runs;
};

class TLineBreaker {
public:
    TLineBreaker(const TFlatText& flat, const TFontSpec& font, TFontCache& fonts)
        : flat_(flat), font_(font), fonts_(fonts) {}

    double Width(qsizetype from, qsizetype to) const {
        double w = 0;
        qsizetype i = from;
        while (i < to) {
            const int run = flat_.runOf[static_cast<size_t>(i)];
            qsizetype j = i;
            while (j < to && flat_.runOf[static_cast<size_t>(j)] == run)
                ++j;
            w += fonts_.Metrics(font_, (*flat_.runs)[static_cast<size_t>(run)])
                     .horizontalAdvance(flat_.text.mid(i, j - i));
            i = j;
        }
        return w;
    }

    TTextLine Line(qsizetype from, qsizetype to) const {
        TTextLine line;
        for (qsizetype i = from; i < to; ++i) {
            const TTextRun& style = (*flat_.runs)[static_cast<size_t>(flat_.runOf[static_cast<size_t>(i)])];
            if (line.Runs.empty() || !SameStyle(line.Runs.back(), style)) {
                TTextRun r = style;
                r.Text.clear();
                line.Runs.push_back(std::move(r));
            }
            line.Runs.back().Text += flat_.text[i];
        }
        line.Width = Width(from, to);
        return line;
    }

private:
    const TFlatText& flat_;
    const TFontSpec& font_;
    TFontCache& fonts_;
};

void WrapParagraph(const TParagraph& paragraph, const TFontSpec& font, double maxWidth, bool wordWrap,
                   TFontCache& fonts, std::vector<TTextLine>& out) {
    TFlatText flat{{}, {}, &paragraph};
    for (size_t r = 0; r < paragraph.size(); ++r) {
        flat.text += paragraph[r].Text;
        flat.runOf.insert(flat.runOf.end(), static_cast<size_t>(paragraph[r].Text.size()),
                          static_cast<int>(r));
    }
    const TLineBreaker breaker(flat, font, fonts);
    const QString& t = flat.text;
    const qsizetype n = t.size();
    if (!wordWrap || breaker.Width(0, n) <= maxWidth) {
        out.push_back(breaker.Line(0, n));
        return;
    }
    qsizetype start = 0;
    while (start < n) {
        // The longest run of whole words from start that fits.
        qsizetype end = start;
        qsizetype scan = start;
        while (scan < n) {
            qsizetype wordEnd = scan;
            while (wordEnd < n && t[wordEnd] == u' ')
                ++wordEnd;
            while (wordEnd < n && t[wordEnd] != u' ')
                ++wordEnd;
            if (breaker.Width(start, wordEnd) > maxWidth)
                break;
            end = scan = wordEnd;
        }
        bool brokenInWord = false;
        if (end == start) {
            // Not even one word fits: cut the word where the box ends (at least one character).
            end = start + 1;
            while (end < n && t[end] != u' ' && breaker.Width(start, end + 1) <= maxWidth)
                ++end;
            brokenInWord = end < n && t[end] != u' ';
        }
        TTextLine line = breaker.Line(start, end);
        line.BrokenInWord = brokenInWord;
        out.push_back(std::move(line));
        start = end;
        while (start < n && t[start] == u' ')
            ++start;
    }
}

} // namespace

std::vector<TTextLine> WrapParagraphs(const std::vector<TParagraph>& paragraphs, const TFontSpec& font,
                                      double maxWidth, bool wordWrap, TFontCache& fonts) {
    std::vector<TTextLine> lines;
    for (const TParagraph& p : paragraphs)
        WrapParagraph(p, font, maxWidth, wordWrap, fonts, lines);
    return lines;
}

double LineHeight(const TFontSpec& font, TFontCache& fonts) {
    return fonts.Metrics(font, TTextRun{}).height();
}

} // namespace lum1
