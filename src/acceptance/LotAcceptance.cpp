#include "acceptance/LotAcceptance.h"

#include "platform/FormatFloat.h"

#include <algorithm>
#include <cmath>

namespace lum1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Limits and printed values are decimal numbers held in binary: a printed 0.960 must not count
// as below a limit of 0.98 - 0.02 because the two differ in their last binary digit.
bool Less(double a, double b) {
    return a < b - 1e-9 * std::max(1.0, std::fabs(b));
}

double RoundDecimals(double value, int digits, const char16_t* pattern) {
    const double scale = std::pow(10.0, digits);
    const double x = value * scale;
    // Away from a half the product's own rounding cannot change the result; near one, the exact
    // decimal rounding of the table's patterns decides.
    if (std::fabs(std::fabs(x - std::trunc(x)) - 0.5) > 1e-6 && std::fabs(x) < 1e15)
        return std::round(x) / scale;
    return FormatFloat(value, pattern, u'.').toDouble();
}

TAcceptanceIssue Issue(TAcceptanceIssue::TKind kind, int count = 0) {
    TAcceptanceIssue i;
    i.Kind = kind;
    i.Count = count;
    return i;
}

} // namespace

bool TAcceptanceLimits::Valid() const {
    if (!std::isfinite(Lower) || (Upper && (!std::isfinite(*Upper) || *Upper < Lower)))
        return false;
    if (Rule == TAcceptanceRule::MeanAndTolerance && !(std::isfinite(Tolerance) && Tolerance >= 0))
        return false;
    if (Rule == TAcceptanceRule::Pwl && !(PwlThreshold >= 0 && PwlThreshold <= 100))
        return false;
    return true;
}

void CompactionAndPorosity(const TMeasRecord& r, double density, double& compaction, double& porosity) {
    compaction = porosity = kNaN;
    if (r.Mode == 2 || r.RefDensity == 0.0f || !std::isfinite(density))
        return;
    const double ratio = density / static_cast<double>(r.RefDensity);
    if (!std::isfinite(ratio))
        return;
    compaction = ratio;
    const double p = (1.0 - ratio) * 100.0;
    porosity = p < 0.0 ? 0.0 : p > 100.0 ? 100.0 : static_cast<float>(p);
}

double PrintedValue(TAcceptanceQuantity q, double value) {
    if (!std::isfinite(value))
        return value;
    if (q == TAcceptanceQuantity::Compaction)
        return RoundDecimals(value, 3, u"#0.000");
    return value >= 1000.0 ? RoundDecimals(value, 0, u"#0") : RoundDecimals(value, 2, u"#0.00");
}

TLotAcceptance JudgeLot(std::span<const TLotRecord> lot, const TCorrection& correction,
                        const TAcceptanceLimits& limits) {
    TLotAcceptance a;
    a.Points.resize(lot.size());
    std::vector<double> gauge, corrected, compaction, judged;
    for (auto* v : {&gauge, &corrected, &compaction, &judged})
        v->reserve(lot.size());
    const bool density = limits.Quantity == TAcceptanceQuantity::Density;

    for (size_t i = 0; i < lot.size(); ++i) {
        const TMeasRecord& r = lot[i].Record;
        TAcceptancePoint& p = a.Points[i];
        if (r.Seconds == DeletedMark) {
            ++a.Deleted;
            continue;
        }
        p.Gauge = GaugeDensity(r);
        if (std::isnan(p.Gauge))
            continue;
        gauge.push_back(p.Gauge);
        const double c = correction.Apply(p.Gauge);
        if (!std::isfinite(c))
            continue;
        p.Corrected = c;
        corrected.push_back(c);
        CompactionAndPorosity(r, c, p.Compaction, p.Porosity);
        if (!std::isnan(p.Compaction))
            compaction.push_back(p.Compaction);
        const double value = density ? p.Corrected : p.Compaction;
        if (std::isnan(value))
            continue;
        judged.push_back(value);
        p.Judged = PrintedValue(limits.Quantity, value);
    }
    a.Gauge = DescribeValues(gauge);
    a.Density = DescribeValues(corrected);
    a.Compaction = DescribeValues(compaction);
    a.Judged = static_cast<int>(judged.size());
    if (!judged.empty())
        a.JudgedMean = PrintedValue(limits.Quantity, DescribeValues(judged).Mean);

    if (!limits.Valid()) {
        a.Issues.push_back(Issue(TAcceptanceIssue::BadLimits));
        return a;
    }
    const bool tolerance = limits.Rule == TAcceptanceRule::MeanAndTolerance;
    for (TAcceptancePoint& p : a.Points) {
        if (std::isnan(p.Judged))
            continue;
        if (Less(p.Judged, limits.Lower)) {
            ++a.Below;
            const bool beyond = !tolerance || Less(p.Judged, limits.Lower - limits.Tolerance);
            p.Mark = beyond ? TPointMark::Below : TPointMark::BelowWithinTolerance;
            a.BeyondTolerance += tolerance && beyond;
        } else if (limits.Upper && Less(*limits.Upper, p.Judged)) {
            ++a.Above;
            const bool beyond = !tolerance || Less(*limits.Upper + limits.Tolerance, p.Judged);
            p.Mark = beyond ? TPointMark::Above : TPointMark::AboveWithinTolerance;
            a.BeyondTolerance += tolerance && beyond;
        } else {
            p.Mark = TPointMark::Pass;
        }
    }

    if (a.Judged == 0) {
        a.Issues.push_back(
            Issue(gauge.empty() ? TAcceptanceIssue::NoValidDensity : TAcceptanceIssue::NoJudgedPoint));
        return a;
    }
    bool accepted = false;
    switch (limits.Rule) {
    case TAcceptanceRule::EveryPoint:
        accepted = a.Below == 0 && a.Above == 0;
        break;
    case TAcceptanceRule::MeanAndTolerance:
        accepted = !Less(a.JudgedMean, limits.Lower) &&
                   !(limits.Upper && Less(*limits.Upper, a.JudgedMean)) && a.BeyondTolerance == 0;
        break;
    case TAcceptanceRule::Pwl:
        a.Pwl = EstimatePwl(judged, limits.Lower, limits.Upper);
        if (!a.Pwl) {
            a.Issues.push_back(Issue(TAcceptanceIssue::PwlTooFewPoints, a.Judged));
            return a;
        }
        // Judged as printed, with one decimal.
        accepted = !Less(RoundDecimals(a.Pwl->Pwl, 1, u"#0.0"), limits.PwlThreshold);
        break;
    }
    a.Verdict = accepted ? TVerdict::Accepted : TVerdict::Rejected;
    return a;
}

} // namespace lum1
