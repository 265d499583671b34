#pragma once
// The lot acceptance kept in the archive: correlations to cores with their pairs, author and
// date, made for a lot or for a mix and reused across its lots; the correlation applied to each
// lot; each lot's own limits and rule. A kept correlation is never changed: a new fit is a new
// correlation, so that a report made earlier can always be traced to the numbers it used.

#include "acceptance/LotAcceptance.h"
#include "acceptance/LotCorrelation.h"
#include "archive/ArchiveLots.h"

#include <QString>

#include <optional>
#include <vector>

namespace lum1 {

// A lot's records as the acceptance judges them, in the order of their measurement time: keyed
// by the gauge's record number, as the user names them in pairs, and carrying the archive's ids.
std::vector<TLotRecord> AcceptanceLotRecords(TArchive& archive, qint64 lot);

// Keeps the correlation (when it has no id yet) and applies it to the lot; a correlation that
// is kept already (a mix's, chosen for another lot) is only applied. Result.Id: its id.
TLotResult ApplyLotCorrelation(TArchive& archive, qint64 lot, const TLotCorrelation& correlation);
// The lot is judged on its measured values again; the correlation stays in the archive.
TLotResult RemoveLotCorrelation(TArchive& archive, qint64 lot);

// The correlation applied to the lot; nothing when none is (or the archive failed: LastError).
std::optional<TLotCorrelation> LotCorrelationOf(TArchive& archive, qint64 lot);
std::optional<TLotCorrelation> FindCorrelation(TArchive& archive, qint64 id);
// The correlations kept for a mix (its exact name), the newest first.
std::vector<TLotCorrelation> MixCorrelations(TArchive& archive, const QString& mix);

// The lot's own limits and rule; nothing when the user has set none for it (the program's
// defaults hold then) or the archive failed (LastError).
std::optional<TAcceptanceLimits> LotLimits(TArchive& archive, qint64 lot);
// Limits that are no limits (Valid() false) are refused (BadLimits) and nothing is written.
TLotResult SetLotLimits(TArchive& archive, qint64 lot, const TAcceptanceLimits& limits);

} // namespace lum1
