#pragma once
// Draws prepared pages with a QPainter: the screen preview, a printer and a PDF file all go
// through here.

#include "report/PreparedReport.h"
#include "report/ReportFonts.h"

#include <QPageLayout>

class QPainter;
class QPagedPaintDevice;

namespace lum1 {

class TReportPainter {
public:
    explicit TReportPainter(const TPreparedReport& report) : report_(report) {}

    // The paper of the report. Boxes are placed from the paper's corner, so the painter must
    // start there: a PDF writer takes the layout without margins; a printer takes it with them,
    // for its dialogs to show, in full-page mode. Qt's setPageLayout adopts the layout's own
    // mode, so the mode travels in the layout: a standard-mode layout would switch a printer's
    // full-page mode off again and move every box by the margins a second time.
    QPageLayout PageLayout(bool withMargins = false) const;

    // Draws one page on a painter whose origin is the paper's top-left corner, in device pixels
    // of dotsPerInch. A box named in highlight gets a marked background (the find command).
    void PaintPage(QPainter& painter, int pageIndex, double dotsPerInch,
                   const TPreparedBox* highlight = nullptr);

    // Pages fromPage..toPage (0-based, inclusive) on a paged device, a new page before each but
    // the first. The painter must be active on the device.
    void PaintPages(QPainter& painter, QPagedPaintDevice& device, double dotsPerInch, int fromPage,
                    int toPage, const TPreparedBox* highlight = nullptr);

private:
    void PaintBox(QPainter& painter, const TPreparedBox& box);

    const TPreparedReport& report_;
    TFontCache fonts_;
};

} // namespace lum1
