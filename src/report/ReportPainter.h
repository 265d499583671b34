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

    // The paper of the report. Boxes are placed from the paper's corner, so a device whose
    // painter starts at the margins (a PDF writer) takes the layout without them; a printer in
    // full-page mode takes them, for its dialogs to show.
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
