#pragma once
// The Excel and map exports as commands: the records in, a file out, and the message the user
// reads. Shared by the menu commands and the batch command line, so both refuse and fail alike.

#include "acceptance/CorrectedValues.h"
#include "export/ExportTexts.h"
#include "results/MeasRecord.h"
#include "stats/LotStatistics.h"

#include <QString>

#include <span>

namespace lum1 {

enum class TTableFormat { Xlsx, Kml, GeoJson };

struct TExportOutcome {
    enum Kind { Written, Empty, NoPosition, WriteFailed };
    Kind Result = Written;
    int Records = 0; // rows or placemarks written
    QString Reason;  // why the write failed
    bool Ok() const { return Result == Written; }
};

// Nothing is written for an empty list of records, nor a map without any position. The file
// appears under its name only once complete; a failure leaves an earlier file as it was. The
// workbook carries the corrected values of a correlation chosen for the lot (the maps do not).
TExportOutcome ExportTableFile(TTableFormat format, const QString& path, const TRecordStore& store,
                               std::span<const int> records, const TExportTexts& texts,
                               double minCompaction = DefaultMinCompaction,
                               const TLotCorrectionState& correction = {});

// The message for the user: done, refused or failed, naming the file.
QString OutcomeMessage(const TExportOutcome& outcome, const QString& path, const TExportTexts& texts);

} // namespace lum1
