#pragma once
// The archive as a table: a filter, counts of what it lets through, a sort by any of the eleven
// columns and the rows one page at a time, for a model that fetches lazily. Every text of a
// filter reaches the database only as a bound parameter or as the ids it matched.

#include "archive/Archive.h"
#include "results/MeasRecord.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace lum1 {

constexpr qint64 AnyLot = -1; // TArchiveFilter::Lot: every record
constexpr qint64 NoLot = 0;   // TArchiveFilter::Lot: the records that belong to no lot

struct TArchiveFilter {
    std::optional<QDate> From, To; // the measurement's day, both inclusive
    // Texts a record's object, material or gauge parameter text must contain, in any letter
    // case (Exact: must equal, letter case included); empty: any.
    QString Object, Material, Gauge;
    bool Exact = false;
    qint64 Lot = AnyLot;     // AnyLot, NoLot or a lot's id
    bool ShowDeleted = true; // records deleted on the gauge (seconds 170)
};

// A column of the results table (0 number ... 10 averaged count, the order of RowTexts).
struct TArchiveSort {
    int Column = 1; // the measurement time
    bool Descending = false;
};

struct TArchiveRow {
    qint64 Id = 0;
    TMeasRecord Record{};
    qint64 Lot = NoLot;
};

struct TArchiveCounts {
    qint64 Shown = 0;   // records the filter lets through
    qint64 Deleted = 0; // of them, deleted on the gauge
    qint64 Total = 0;   // records in the archive
};

// Empty results (and the archive's LastError) when the archive fails.
TArchiveCounts CountRecords(TArchive& archive, const TArchiveFilter& filter);
// Rows offset .. offset + limit - 1 of the filtered, sorted archive. Equal values are ordered by
// the record's id, so pages never overlap or skip a row.
std::vector<TArchiveRow> FetchRecords(TArchive& archive, const TArchiveFilter& filter,
                                      const TArchiveSort& sort, qint64 offset, int limit);
// The records with these ids, in the order of the ids given (ids not found are left out).
std::vector<TArchiveRow> FetchRecordsById(TArchive& archive, const std::vector<qint64>& ids);

// The texts a filter can choose from, sorted.
QStringList ObjectNames(TArchive& archive);
QStringList MaterialNames(TArchive& archive);
QStringList GaugeTexts(TArchive& archive);

} // namespace lum1
