#pragma once
// The results as an Excel workbook (.xlsx): the table on the first sheet with numbers as numeric
// cells, times as date cells, units in the header row, the header frozen, an autofilter and
// fitted column widths; the lot statistics on the second sheet.

#include "export/ExportTexts.h"
#include "stats/LotStatistics.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <span>

namespace lum1 {

// The workbook's bytes, or nothing with the reason in *error.
std::optional<QByteArray> BuildXlsx(const TRecordStore& store, std::span<const int> records,
                                    const TExportTexts& texts, const TLotStatistics& statistics,
                                    const TLotLabels& labels, QString* error);

} // namespace lum1
