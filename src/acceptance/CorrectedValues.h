#pragma once
// The corrected values of a record for the lot views (panel, chart, Excel export): the gauge
// density corrected by a correlation to cores, and the compaction factor and porosity recomputed
// from it with the record's own reference density by the table's rules. The record never changes.

#include "acceptance/Correlation.h"
#include "stats/LotStatistics.h"

#include <optional>
#include <span>

namespace lum1 {

struct TCorrectedValues {
    double Density = std::numeric_limits<double>::quiet_NaN();
    double Compaction = std::numeric_limits<double>::quiet_NaN();
    double Porosity = std::numeric_limits<double>::quiet_NaN();
};

// NaN throughout for a record without a usable density (deleted, a mode-2 reading, no positive
// number); NaN compaction factor and porosity without a reference density.
TCorrectedValues CorrectedValues(const TMeasRecord& r, const TCorrection& correction);

// The statistics of the corrected values of the given records (indices into the store);
// correctionText: the correction in words, for the statistics' line.
TCorrectedStatistics ComputeCorrectedStatistics(const TRecordStore& store, std::span<const int> records,
                                                const TCorrection& correction, const QString& correctionText);

// What the lot views apply: the correction of a correlation chosen for the lot, or the reason
// why the one chosen does not hold for the lot shown.
struct TLotCorrectionState {
    std::optional<TCorrection> Correction;
    QString Text; // the correction in words, or why it is not applied; empty: none chosen
};

// The statistics' corrected values (with a correction) or the reason it is not applied.
void AddCorrectedStatistics(TLotStatistics& statistics, const TRecordStore& store,
                            std::span<const int> records, const TLotCorrectionState& state);

} // namespace lum1
