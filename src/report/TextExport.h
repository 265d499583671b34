#pragma once
// The report as plain text: one line per band line, cells in columns of blanks, no frames, and
// columns that hold no text anywhere left out. UTF-8, CR LF.

#include "report/PreparedReport.h"

#include <QByteArray>

namespace lum1 {

QByteArray ExportText(const TPreparedReport& report);

} // namespace lum1
