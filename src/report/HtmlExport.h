#pragma once
// The report as an HTML page: every page a block of the paper's size in CSS pixels (the layout
// unit), every box placed where the preview shows it, with its frame and the lines it was
// broken into. Texts are escaped; only the runs of a memo that interprets HTML become tags.

#include "report/PreparedReport.h"

#include <QByteArray>

namespace lum1 {

QByteArray ExportHtml(const TPreparedReport& report, const QString& title);

} // namespace lum1
