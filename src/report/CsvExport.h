#pragma once
// The report as CSV: one record per band line, its cells separated by ";"; a field is quoted only
// when it holds the separator or a quotation mark. Control characters are left out. UTF-8, CR LF.

#include "report/PreparedReport.h"

#include <QByteArray>

namespace lum1 {

QByteArray ExportCsv(const TPreparedReport& report);

} // namespace lum1
