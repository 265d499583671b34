#pragma once
// The prepared report as a file of its own, so that a report can be printed again exactly as it
// was: its pages with every box, line and run, its paper and the PDF's properties. A versioned
// binary format, read defensively: a damaged, cut or foreign file is refused, never trusted.

#include "report/PdfExport.h"
#include "report/PreparedReport.h"

#include <QByteArray>

#include <optional>

namespace lum1 {

struct TSavedReport {
    TPreparedReport Pages;
    TPdfProperties Properties;
};

// The file's suffix, without the point.
extern const char* const PreparedReportSuffix;

QByteArray WritePreparedReport(const TPreparedReport& report, const TPdfProperties& properties);

enum class TReportFileError { None, NotAReport, Newer };

// Nothing, and the reason, for bytes that are not a whole report of this format and version.
std::optional<TSavedReport> ReadPreparedReport(const QByteArray& bytes, TReportFileError* error = nullptr);

// Larger files are refused before they are read.
constexpr qint64 MaxPreparedReportBytes = 256 * 1024 * 1024;

} // namespace lum1
