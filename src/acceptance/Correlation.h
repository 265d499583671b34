#pragma once
// Correlation of the gauge to the lab's cores: pairs of a measured record and the density of the
// core drilled at its place. From them the offset (mean of core - gauge) and, from five pairs on,
// the least-squares line core = slope * gauge + intercept, with R^2, the standard error of the
// estimate and the residuals. The fit is refused, with the reason, rather than made from fewer
// pairs than the user gave: a pair that names no record, a core that is no density, or an
// outlier is reported and never dropped or corrected on the quiet.

#include "acceptance/AcceptanceIssue.h"
#include "results/MeasRecord.h"

#include <QString>

#include <limits>
#include <span>
#include <vector>

namespace lum1 {

// A record of a lot and the key that pairs name it by: the gauge's record number for the
// records of a file, the archive's id for an archive lot.
struct TLotRecord {
    qint64 Key = 0;
    TMeasRecord Record{};
    qint64 Id = 0; // the archive's id of the record; 0 for a file's records
};

// The density of a record as the gauge measured it, or NaN where it is no density a core can be
// compared with: a deleted record, a mode-2 reading (another kind of value, shown with " (U)"),
// a value that is not a positive finite number.
double GaugeDensity(const TMeasRecord& r);

struct TCorePair {
    qint64 Key = 0;
    double Core = 0; // kg/m3
};

enum class TCorrelationKind { None, Offset, Line };

// The correction applied to gauge densities, with what the report says of its origin.
struct TCorrection {
    TCorrelationKind Kind = TCorrelationKind::None;
    double Offset = 0;
    double Slope = 1, Intercept = 0;
    // Pairs it was fitted from; 0 when the user gave the numbers themselves.
    int Pairs = 0;
    double R2 = std::numeric_limits<double>::quiet_NaN();
    double SEE = std::numeric_limits<double>::quiet_NaN();      // line: standard error of the estimate
    double OffsetSD = std::numeric_limits<double>::quiet_NaN(); // offset: SD of the differences
    std::vector<TAcceptanceIssue> Notes;                        // outliers kept on the user's word
    // Which correlation this is, as the report names it (its name, author and date in the
    // archive); empty for one made on the spot.
    QString Description;

    double Apply(double gauge) const;
};

// The least number of pairs for the line.
constexpr int MinLinePairs = 5;
// A pair is an outlier when its externally studentised residual is significant at this level
// after Bonferroni's correction for the number of pairs...
constexpr double OutlierSignificance = 0.05;
// ...and it lies further than this share of the mean core density from the fit: below that a
// departure is within the rounding of lab and gauge values, however tight the other pairs are.
constexpr double OutlierFloor = 0.005;

struct TFittedPair {
    int Pair = 0; // 1-based place in the user's list
    qint64 Key = 0;
    double Gauge = 0, Core = 0;
    double OffsetResidual = 0;                                      // (core - gauge) - offset
    double LineResidual = std::numeric_limits<double>::quiet_NaN(); // core - line(gauge)
    bool Outlier = false;                                           // for the chosen kind
};

struct TCorrelationFit {
    TCorrelationKind Kind = TCorrelationKind::Offset;
    std::vector<TFittedPair> Pairs; // the pairs that are usable, in the user's order
    double Offset = 0;
    double OffsetSD = std::numeric_limits<double>::quiet_NaN();
    bool HasLine = false;
    double Slope = 1, Intercept = 0;
    double R2 = std::numeric_limits<double>::quiet_NaN(); // NaN when every core is equal
    double SEE = std::numeric_limits<double>::quiet_NaN();
    std::vector<TAcceptanceIssue> Issues;

    bool Ok() const;
    // The correction of the chosen kind; only meaningful when Ok().
    TCorrection Correction() const;
};

// Fits the pairs against the lot's records for the chosen kind (Offset or Line). keepOutliers:
// outliers stay in the fit as notes instead of refusing it.
TCorrelationFit FitCorrelation(std::span<const TLotRecord> lot, std::span<const TCorePair> pairs,
                               TCorrelationKind kind, bool keepOutliers = false);

} // namespace lum1
