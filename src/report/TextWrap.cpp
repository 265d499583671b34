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

// Closing punctuation belongs to the word before it: a line never starts with it.
bool StaysWithWordBefore(QChar c) {
    switch (c.category()) {
    case QChar::Punctuation_Close:
    case QChar::Punctuation_FinalQuote:
        return true;
    default:
        return QStringView(u",.;:!?\u2026%").contains(c);
    }
}

// A hyphen between two letters offers a break after it ("Щебеночно-" / "мастичный"); one before
// a digit is read as a minus or a code ("М-4", "-3.3") and stays where it is.
bool BreaksAfterHyphen(const QString& t, qsizetype i) {
    const QChar c = t[i];
    return (c == u'-' || c == u'\u2010') && i > 0 && i + 1 < t.size() && t[i - 1].isLetter() &&
           t[i + 1].isLetter();
}

void WrapParagraph(const TParagraph& paragraph, const TFontSpec& font, double maxWidth, double overhang,
                   bool wordWrap, TFontCache& fonts, std::vector<TTextLine>& out) {
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
    // A line from start to end fits when its text does; punctuation at its end may reach into
    // the box's side gaps when the words before it fit.
    auto fits = [&](qsizetype start, qsizetype end) {
        const double width = breaker.Width(start, end);
        if (width <= maxWidth)
            return true;
        qsizetype words = end;
        while (words > start && StaysWithWordBefore(t[words - 1]))
            --words;
        return words < end && words > start && width <= maxWidth + overhang &&
               breaker.Width(start, words) <= maxWidth;
    };
    qsizetype start = 0;
    while (start < n) {
        // The farthest place that fits: the end of a word, or after a hyphen inside one.
        qsizetype end = start;
        bool afterHyphen = false;
        for (qsizetype i = start; i < n; ++i) {
            const bool wordEnd = t[i] != u' ' && (i + 1 == n || t[i + 1] == u' ');
            const bool hyphen = !wordEnd && BreaksAfterHyphen(t, i);
            if (!wordEnd && !hyphen)
                continue;
            if (!fits(start, i + 1))
                break;
            end = i + 1;
            afterHyphen = hyphen;
        }
        bool brokenInWord = afterHyphen;
        if (end == start) {
            // Not even one word fits: cut the word where the box ends (at least one character),
            // but never just before punctuation, which takes the last letter along instead.
            end = start + 1;
            while (end < n && t[end] != u' ' && breaker.Width(start, end + 1) <= maxWidth)
                ++end;
            while (end > start + 1 && end < n && StaysWithWordBefore(t[end]))
                --end;
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
                                      double maxWidth, bool wordWrap, TFontCache& fonts, double overhang) {
    std::vector<TTextLine> lines;
    for (const TParagraph& p : paragraphs)
        WrapParagraph(p, font, maxWidth, overhang, wordWrap, fonts, lines);
    return lines;
}

double LineHeight(const TFontSpec& font, TFontCache& fonts) {
    return fonts.Metrics(font, TTextRun{}).height();
}

} // namespace lum1
