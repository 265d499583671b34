#pragma once
// Lots: named groups of archived records (a stretch of road laid with one mix in one layer).
// A record belongs to at most one lot.

#include "archive/Archive.h"
#include "archive/ArchiveQuery.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace lum1 {

struct TLot {
    qint64 Id = 0;
    QString Name; // unique in the archive, not empty
    QString Object, Material, Layer, Notes;
    QDateTime Created;  // UTC
    qint64 Records = 0; // (read only) records in the lot
};

// The lots, by name.
std::vector<TLot> Lots(TArchive& archive);
std::optional<TLot> FindLot(TArchive& archive, qint64 id);
std::optional<TLot> FindLotByName(TArchive& archive, const QString& name);

enum class TLotProblem { None, EmptyName, NameTaken, NotFound, ArchiveFailed, BadLimits };

struct TLotResult {
    TLotProblem Problem = TLotProblem::None;
    TArchiveError Error; // ArchiveFailed
    qint64 Id = 0;       // CreateLot: the new lot
    int Assigned = 0;    // AssignToLot: records now in the lot
    int Moved = 0;       // ... of them, taken from another lot
    bool Ok() const { return Problem == TLotProblem::None; }
};

TLotResult CreateLot(TArchive& archive, const TLot& lot);
// Name, object, material, layer and notes of the lot lot.Id.
TLotResult UpdateLot(TArchive& archive, const TLot& lot);
// The lot goes; its records stay in the archive, in no lot, and so do the correlations made for
// it (they no longer name a lot).
TLotResult DeleteLot(TArchive& archive, qint64 id);
// Puts the records into the lot, taking them out of any other; lot NoLot takes them out of
// every lot. One transaction.
TLotResult AssignToLot(TArchive& archive, const std::vector<qint64>& recordIds, qint64 lot);
// How many of these records belong to a lot other than `lot` (to ask before moving them).
qint64 CountInOtherLots(TArchive& archive, const std::vector<qint64>& recordIds, qint64 lot);

// A lot's records in the order of their measurement time.
std::vector<TArchiveRow> LotRecords(TArchive& archive, qint64 lot);

} // namespace lum1
