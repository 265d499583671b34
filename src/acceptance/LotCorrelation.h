#pragma once
// A correlation as it is kept and reused: the pairs with the gauge density each record had when
// the fit was made, the kind the user chose, the fitted correction, who made it and when. Made
// for one lot, it holds only while its pairs still name that lot's records as they were; made
// for a mix, its correction is applied to any lot of that mix.

#include "acceptance/Correlation.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <span>
#include <vector>

namespace lum1 {

enum class TCorrelationScope { Lot, Mix };

struct TKeptPair {
    qint64 Key = 0;
    double Gauge = 0; // the record's gauge density when the correlation was made
    double Core = 0;
    qint64 RecordId = 0; // the archive's id of that record; 0 when made for a file's records
};

struct TLotCorrelation {
    qint64 Id = 0; // the archive's; 0 for one kept nowhere yet
    QString Name;
    QString Author;
    QDateTime Made;
    TCorrelationScope Scope = TCorrelationScope::Lot;
    QString Mix; // with the mix scope: the mix it holds for
    TCorrelationKind Kind = TCorrelationKind::Offset;
    bool KeepOutliers = false;
    std::vector<TKeptPair> Pairs;
    TCorrection Correction; // as fitted when the user chose it

    // The correction with the description the report prints before it.
    TCorrection ForUse() const;
};

// A fit the user chose, kept: its usable pairs and its correction. Only for a fit that is Ok().
// The pairs take the archive's ids of their records from the lot they were fitted on.
TLotCorrelation KeepCorrelation(const TCorrelationFit& fit, const QString& name, const QString& author,
                                const QDateTime& made, std::span<const TLotRecord> lot = {});

// The correction of a kept correlation fitted again from its own pairs (the outliers kept as the
// notes the report lists); nothing when its pairs no longer give a fit (a damaged store).
std::optional<TCorrection> RefitKept(const TLotCorrelation& c);

// Why a kept correlation does not hold for the lot: for the lot scope, a pair whose record is no
// longer in the lot (with the archive's ids: the record of that number in the lot is another
// one), is there more than once, has no usable density or another density than when it was
// fitted (another file's record under the same number). Nothing for the mix scope.
std::vector<TAcceptanceIssue> CheckLotCorrelation(std::span<const TLotRecord> lot, const TLotCorrelation& c);

// The user's pairs back from a kept correlation (to show and fit them again).
std::vector<TCorePair> CorePairs(const TLotCorrelation& c);

// "name — author, yyyy-MM-dd HH:mm", the parts that are known.
QString CorrelationDescription(const TLotCorrelation& c);

} // namespace lum1
