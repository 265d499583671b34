#include "report/ReportPainter.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace lum1 {

QPageLayout TReportPainter::PageLayout(bool withMargins) const {
    const double w = report_.Landscape ? report_.PageHeightMm : report_.PageWidthMm;
    const double h = report_.Landscape ? report_.PageWidthMm : report_.PageHeightMm;
    QPageLayout layout(QPageSize(QSizeF(w, h), QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       report_.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       withMargins ? QMarginsF(report_.LeftMarginMm, report_.TopMarginMm,
                                               report_.RightMarginMm, report_.BottomMarginMm)
                                   : QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

void TReportPainter::PaintPage(QPainter& painter, int pageIndex, double dotsPerInch,
                               const TPreparedBox* highlight) {
    if (pageIndex < 0 || pageIndex >= static_cast<int>(report_.Pages.size()))
        return;
    painter.save();
    painter.scale(dotsPerInch / 96.0, dotsPerInch / 96.0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const TPreparedBox& box : report_.Pages[static_cast<size_t>(pageIndex)].Boxes) {
        if (&box == highlight)
            painter.fillRect(box.Rect, QColor(255, 230, 120));
        PaintBox(painter, box);
    }
    painter.restore();
}

void TReportPainter::PaintPages(QPainter& painter, QPagedPaintDevice& device, double dotsPerInch,
                                int fromPage, int toPage, const TPreparedBox* highlight) {
    for (int i = fromPage; i <= toPage; ++i) {
        if (i > fromPage)
            device.newPage();
        PaintPage(painter, i, dotsPerInch, highlight);
    }
}

void TReportPainter::PaintBox(QPainter& painter, const TPreparedBox& box) {
    if (box.Picture)
        DrawReportPicture(painter, *box.Picture, box.Rect);
    if (box.Frame) {
        // One layout unit wide and centred on the box's edges, so the shared edges of
        // neighbouring boxes fall on one line.
        painter.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.Rect);
    }
    if (box.Lines.empty())
        return;
    painter.setPen(Qt::black);
    const TTextRun plain;
    const QFontMetricsF& base = fonts_.Metrics(box.Font, plain);
    const double lineHeight = base.height();
    const auto n = static_cast<double>(box.Lines.size());
    const double textHeight = n * lineHeight + (n - 1) * report_.LineSpacing;
    double y =
        box.VCentred ? box.Rect.top() + (box.Rect.height() - textHeight) / 2 : box.Rect.top() + report_.GapY;
    // Text taller than a box that cannot grow is cut at the box, not drawn over its neighbours.
    const bool clip = textHeight + 2 * report_.GapY > box.Rect.height() + 0.01;
    if (clip) {
        painter.save();
        painter.setClipRect(box.Rect, Qt::IntersectClip);
    }
    for (const TTextLine& line : box.Lines) {
        double x = box.HCentred ? box.Rect.center().x() - line.Width / 2 : box.Rect.left() + report_.GapX;
        const double baseline = y + base.ascent();
        for (const TTextRun& run : line.Runs) {
            double shift = 0;
            if (run.Script == TScript::Super)
                shift = -SuperRise * box.Font.PixelSize;
            else if (run.Script == TScript::Sub)
                shift = SubDrop * box.Font.PixelSize;
            painter.setFont(fonts_.Font(box.Font, run));
            painter.drawText(QPointF(x, baseline + shift), run.Text);
            if (line.Runs.size() > 1)
                x += fonts_.Metrics(box.Font, run).horizontalAdvance(run.Text);
        }
        y += lineHeight + report_.LineSpacing;
    }
    if (clip)
        painter.restore();
}

} // namespace lum1
