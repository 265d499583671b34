#pragma once
// The archive's messages in the interface language, from the [Extra] texts of the language
// files (keys "Archive...").

#include "archive/Archive.h"
#include "archive/ArchiveImport.h"

#include <QString>

#include <functional>

namespace lum1 {

using ExtraTextLookup = std::function<QString(const QString& key)>;

// What went wrong and what became of the file; empty for no error.
QString ArchiveErrorText(const TArchiveError& error, const ExtraTextLookup& extra);

// A failure of a query or a lot's change in words: what failed, without the arrival's words
// (nothing of an arrival is at stake); the other troubles as ArchiveErrorText.
QString ArchiveQueryErrorText(const TArchiveError& error, const ExtraTextLookup& extra);

// "Archive: N records, X new, Y already kept".
QString ArrivalText(const TArrivalResult& result, const ExtraTextLookup& extra);
// One imported file's line: "FILE: N records, X new, Y already kept" or why it was not read.
QString FileArrivalText(const TFileArrival& file, const ExtraTextLookup& extra);
// The end of an import of files: totals, unreadable files, and the failure that stopped it.
QString ImportSummaryText(const TImportSummary& summary, const ExtraTextLookup& extra);

} // namespace lum1
