#pragma once
// The verdict on a lot: its gauge densities corrected by the correlation, the compaction factor
// and porosity recomputed from them with each record's own reference density by the table's
// rules, and one of three rules applied to the judged quantity (the compaction factor, or the
// density when the limits are a density window). The raw records never change.

#include "acceptance/AcceptanceIssue.h"
#include "acceptance/Correlation.h"
#include "acceptance/Pwl.h"
#include "stats/LotStatistics.h"

#include <optional>
#include <span>
#include <vector>

namespace lum1 {

enum class TAcceptanceQuantity { Compaction, Density };

enum class TAcceptanceRule {
    EveryPoint,       // every judged point within the limits
    MeanAndTolerance, // the mean within the limits, no point further than the tolerance outside
    Pwl,              // percent within limits at or above the threshold
};

struct TAcceptanceLimits {
    TAcceptanceQuantity Quantity = TAcceptanceQuantity::Compaction;
    double Lower = DefaultMinCompaction;
    std::optional<double> Upper;
    TAcceptanceRule Rule = TAcceptanceRule::EveryPoint;
    double Tolerance = 0;     // MeanAndTolerance, in the quantity's unit
    double PwlThreshold = 90; // Pwl, percent

    bool Valid() const;
};

enum class TPointMark {
    Pass,
    Below,                // below the lower limit (under the tolerance rule: further than the tolerance)
    Above,                // likewise above the upper limit
    BelowWithinTolerance, // under the tolerance rule only
    AboveWithinTolerance,
    NotJudged, // deleted, no usable density, or no compaction factor to judge
};

struct TAcceptancePoint {
    double Gauge = std::numeric_limits<double>::quiet_NaN();      // as measured; NaN: no usable density
    double Corrected = std::numeric_limits<double>::quiet_NaN();  // after the correction
    double Compaction = std::numeric_limits<double>::quiet_NaN(); // from the corrected density
    double Porosity = std::numeric_limits<double>::quiet_NaN();   // likewise, clamped to 0..100
    double Judged = std::numeric_limits<double>::quiet_NaN();     // the judged value as printed
    TPointMark Mark = TPointMark::NotJudged;
};

enum class TVerdict { NoVerdict, Accepted, Rejected };

struct TLotAcceptance {
    std::vector<TAcceptancePoint> Points; // one per record of the lot, in its order
    int Deleted = 0;
    TQuantityStats Gauge, Density, Compaction; // gauge and corrected density, corrected compaction
    int Judged = 0;
    int Below = 0, Above = 0; // judged points outside the limits
    int BeyondTolerance = 0;  // MeanAndTolerance: outside by more than the tolerance
    double JudgedMean = std::numeric_limits<double>::quiet_NaN(); // as printed
    std::optional<TPwlEstimate> Pwl;                              // with the PWL rule
    TVerdict Verdict = TVerdict::NoVerdict;
    std::vector<TAcceptanceIssue> Issues; // why there is no verdict

    double ShareBelow() const { return Judged > 0 ? 100.0 * Below / Judged : 0.0; }
};

// The compaction factor and porosity of a density by the table's rules for the record (none for
// a mode-2 reading or without a reference density; porosity clamped to 0..100 and narrowed).
void CompactionAndPorosity(const TMeasRecord& r, double density, double& compaction, double& porosity);

// A value rounded as the report prints it: the compaction factor to three decimals, a density to
// whole kg/m3 from 1000 on and to two decimals below (the exact binary value, halves away from
// zero, as the table's patterns round).
double PrintedValue(TAcceptanceQuantity q, double value);

TLotAcceptance JudgeLot(std::span<const TLotRecord> lot, const TCorrection& correction,
                        const TAcceptanceLimits& limits);

} // namespace lum1
