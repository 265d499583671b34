#pragma once
// The prepared report: pages of positioned, measured text boxes. The layout pass makes it once;
// the preview, the printer, the PDF file and the text, HTML and CSV exports all read it, so they
// show the same texts broken into the same lines.

#include "report/ReportPicture.h"
#include "report/ReportTemplate.h"

#include <QRectF>
#include <QString>

#include <vector>

namespace lum1 {

enum class TScript { Normal, Super, Sub };

// A stretch of text in one style within a line.
struct TTextRun {
    QString Text;
    TScript Script = TScript::Normal;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;

    bool operator==(const TTextRun&) const = default;
};

struct TTextLine {
    std::vector<TTextRun> Runs;
    double Width = 0; // layout units
    // The line was cut inside a word too long for the box: the next line goes on with that word.
    bool BrokenInWord = false;

    QString PlainText() const;
    bool operator==(const TTextLine&) const = default;
};

struct TPreparedBox {
    QString Name; // the memo it comes from
    QRectF Rect;  // layout units from the paper's top-left corner
    TFontSpec Font;
    bool Frame = false;
    bool HCentred = true;
    bool VCentred = true;
    std::vector<TTextLine> Lines;
    std::shared_ptr<const TReportPicture> Picture; // a picture box's drawing

    // The box's text as one line: its lines joined by blanks, raised and lowered digits
    // written as their Unicode superscript and subscript forms.
    QString PlainText() const;
    bool operator==(const TPreparedBox&) const = default;
};

struct TPreparedPage {
    std::vector<TPreparedBox> Boxes;
    bool operator==(const TPreparedPage&) const = default;
};

struct TPreparedReport {
    double PageWidthMm = 0;
    double PageHeightMm = 0;
    bool Landscape = false;
    double LeftMarginMm = 0, TopMarginMm = 0, RightMarginMm = 0, BottomMarginMm = 0;
    // Gap between a box's frame and its text, and between lines of one box (layout units).
    double GapX = 2, GapY = 1, LineSpacing = 2;
    std::vector<TPreparedPage> Pages;
    bool operator==(const TPreparedReport&) const = default;
};

} // namespace lum1
