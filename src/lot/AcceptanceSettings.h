#pragma once
// What the lot acceptance keeps in the settings file, each in a section of its own: the report
// header the user fills once ([ReportHeader], the keys of the command line's header file) and
// the limits and rule a lot starts with ([LotAcceptance]). No widgets.

#include "acceptance/LotAcceptance.h"
#include "report/AcceptanceReport.h"

#include <QString>

namespace lum1 {

class TIniFile;

// The header fields that do not change from lot to lot, and the logo's file.
struct TReportHeaderSetup {
    TAcceptanceHeader Header; // Lot, ReferenceDensity and Dates come from the lot
    QString Logo;
};

TReportHeaderSetup ReadReportHeader(const TIniFile& ini);
// Throws EIniWriteError.
void WriteReportHeader(TIniFile& ini, const TReportHeaderSetup& setup);

// The header of a lot's report: the setup's fields, the lot's name, and an archive lot's object,
// mix and layer where the lot names them (a lot knows its own better than a header filled once).
TAcceptanceHeader LotHeader(const TAcceptanceHeader& setup, const QString& lot, const QString& object = {},
                            const QString& material = {}, const QString& layer = {});

// The limits and rule kept; the minimum compaction factor is the lot statistics' minimum until
// the user sets one here.
TAcceptanceLimits ReadAcceptanceLimits(const TIniFile& ini, double statisticsMinimum);
// Throws EIniWriteError.
void WriteAcceptanceLimits(TIniFile& ini, const TAcceptanceLimits& limits);

} // namespace lum1
