#pragma once
// The results as an Excel workbook (.xlsx): the table on the first sheet with numbers as numeric
// cells, times as date cells, units in the header row, the header frozen, an autofilter and
// fitted column widths; the lot statistics on the second sheet.

#include "acceptance/Correlation.h"
#include "export/ExportTexts.h"
#include "stats/LotStatistics.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>

namespace lum1 {

// The workbook's bytes, or nothing with the reason in *error. correction: a correlation chosen
// for the lot, whose corrected values follow the measured ones (columns and statistics' rows).
std::optional<QByteArray> BuildXlsx(const TRecordStore& store, std::span<const int> records,
                                    const TExportTexts& texts, const TLotStatistics& statistics,
                                    const TLotLabels& labels, QString* error,
                                    const TCorrection* correction = nullptr);

} // namespace lum1
