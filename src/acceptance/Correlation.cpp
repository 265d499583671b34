#include "acceptance/Correlation.h"

#include "acceptance/Pwl.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace lum1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TAcceptanceIssue PairIssue(TAcceptanceIssue::TKind kind, int pair, qint64 key) {
    TAcceptanceIssue issue;
    issue.Kind = kind;
    issue.Pair = pair;
    issue.Key = key;
    return issue;
}

// Externally studentised residuals: each pair against the fit of the others. e: residuals of the
// full fit, leverage: its hat values, p: parameters of the model. A pair is an outlier when its
// two-sided p-value times the number of pairs (Bonferroni) is below the significance level.
std::vector<bool> FindOutliers(const std::vector<double>& e, const std::vector<double>& leverage, int p,
                               double floor) {
    const auto n = static_cast<int>(e.size());
    std::vector<bool> out(e.size(), false);
    const int nu = n - p - 1;
    if (nu < 1)
        return out;
    double sse = 0.0;
    for (double r : e)
        sse += r * r;
    for (int i = 0; i < n; ++i) {
        const double h = leverage[static_cast<size_t>(i)];
        const double r = e[static_cast<size_t>(i)];
        if (std::fabs(r) <= floor || h >= 1.0)
            continue;
        const double others = (sse - r * r / (1.0 - h)) / nu;
        const double t =
            others > 0.0 ? r / std::sqrt(others * (1.0 - h)) : std::numeric_limits<double>::infinity();
        out[static_cast<size_t>(i)] = StudentTwoSidedP(t, nu) * n < OutlierSignificance;
    }
    return out;
}

} // namespace

double GaugeDensity(const TMeasRecord& r) {
    if (r.Seconds == DeletedMark || r.Mode == 2)
        return kNaN;
    const double d = r.Density;
    return std::isfinite(d) && d > 0.0 ? d : kNaN;
}

double TCorrection::Apply(double gauge) const {
    switch (Kind) {
    case TCorrelationKind::None:
        return gauge;
    case TCorrelationKind::Offset:
        return gauge + Offset;
    case TCorrelationKind::Line:
        return Slope * gauge + Intercept;
    }
    return gauge;
}

bool TCorrelationFit::Ok() const {
    return std::none_of(Issues.begin(), Issues.end(), [](const TAcceptanceIssue& i) { return i.Blocking; });
}

TCorrection TCorrelationFit::Correction() const {
    TCorrection c;
    c.Kind = Kind;
    c.Pairs = static_cast<int>(Pairs.size());
    if (Kind == TCorrelationKind::Line) {
        c.Slope = Slope;
        c.Intercept = Intercept;
        c.R2 = R2;
        c.SEE = SEE;
    } else {
        c.Offset = Offset;
        c.OffsetSD = OffsetSD;
    }
    for (const TAcceptanceIssue& i : Issues)
        if (!i.Blocking)
            c.Notes.push_back(i);
    return c;
}

TCorrelationFit FitCorrelation(std::span<const TLotRecord> lot, std::span<const TCorePair> pairs,
                               TCorrelationKind kind, bool keepOutliers) {
    TCorrelationFit fit;
    fit.Kind = kind == TCorrelationKind::Line ? TCorrelationKind::Line : TCorrelationKind::Offset;

    struct TFound {
        int count = 0;
        size_t index = 0;
    };
    std::unordered_map<qint64, TFound> records;
    records.reserve(lot.size());
    for (size_t i = 0; i < lot.size(); ++i) {
        TFound& f = records[lot[i].Key];
        if (f.count++ == 0)
            f.index = i;
    }
    std::unordered_map<qint64, int> paired; // key -> 1-based pair that named it first

    // Every pair is checked and every fault reported, so the user mends the list in one go.
    for (size_t i = 0; i < pairs.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const TCorePair& pair = pairs[i];
        bool usable = true;
        if (std::isnan(pair.Core) || std::isinf(pair.Core)) {
            fit.Issues.push_back(PairIssue(TAcceptanceIssue::CoreNotNumber, number, pair.Key));
            usable = false;
        } else if (pair.Core == 0.0) {
            fit.Issues.push_back(PairIssue(TAcceptanceIssue::CoreZero, number, pair.Key));
            usable = false;
        } else if (pair.Core < 0.0) {
            TAcceptanceIssue issue = PairIssue(TAcceptanceIssue::CoreNegative, number, pair.Key);
            issue.Value = pair.Core;
            fit.Issues.push_back(issue);
            usable = false;
        }
        const auto found = records.find(pair.Key);
        if (found == records.end()) {
            fit.Issues.push_back(PairIssue(TAcceptanceIssue::MissingRecord, number, pair.Key));
            continue;
        }
        if (found->second.count > 1) {
            TAcceptanceIssue issue = PairIssue(TAcceptanceIssue::AmbiguousRecord, number, pair.Key);
            issue.Count = found->second.count;
            fit.Issues.push_back(issue);
            continue;
        }
        const auto [earlier, first] = paired.emplace(pair.Key, number);
        if (!first) {
            TAcceptanceIssue issue = PairIssue(TAcceptanceIssue::DuplicatePair, number, pair.Key);
            issue.OtherPair = earlier->second;
            fit.Issues.push_back(issue);
            continue;
        }
        const double gauge = GaugeDensity(lot[found->second.index].Record);
        if (std::isnan(gauge)) {
            fit.Issues.push_back(PairIssue(TAcceptanceIssue::NoGaugeDensity, number, pair.Key));
            continue;
        }
        if (usable)
            fit.Pairs.push_back({number, pair.Key, gauge, pair.Core});
    }

    const auto n = static_cast<int>(fit.Pairs.size());
    if (n < 2) {
        TAcceptanceIssue issue;
        issue.Kind = TAcceptanceIssue::TooFewPairs;
        issue.Count = n;
        fit.Issues.push_back(issue);
        return fit;
    }

    double meanGauge = 0, meanCore = 0, meanDiff = 0;
    for (const TFittedPair& p : fit.Pairs) {
        meanGauge += p.Gauge;
        meanCore += p.Core;
        meanDiff += p.Core - p.Gauge;
    }
    meanGauge /= n;
    meanCore /= n;
    meanDiff /= n;
    fit.Offset = meanDiff;
    double squares = 0;
    for (TFittedPair& p : fit.Pairs) {
        p.OffsetResidual = (p.Core - p.Gauge) - meanDiff;
        squares += p.OffsetResidual * p.OffsetResidual;
    }
    fit.OffsetSD = std::sqrt(squares / (n - 1));

    const auto [lo, hi] =
        std::minmax_element(fit.Pairs.begin(), fit.Pairs.end(),
                            [](const TFittedPair& a, const TFittedPair& b) { return a.Gauge < b.Gauge; });
    const bool equalGauge = lo->Gauge == hi->Gauge;
    if (n >= MinLinePairs && !equalGauge) {
        double sxx = 0, sxy = 0, syy = 0;
        for (const TFittedPair& p : fit.Pairs) {
            const double dx = p.Gauge - meanGauge, dy = p.Core - meanCore;
            sxx += dx * dx;
            sxy += dx * dy;
            syy += dy * dy;
        }
        fit.HasLine = true;
        fit.Slope = sxy / sxx;
        fit.Intercept = meanCore - fit.Slope * meanGauge;
        double sse = 0;
        for (TFittedPair& p : fit.Pairs) {
            p.LineResidual = p.Core - (fit.Slope * p.Gauge + fit.Intercept);
            sse += p.LineResidual * p.LineResidual;
        }
        fit.R2 = syy > 0 ? sxy * sxy / (sxx * syy) : kNaN;
        fit.SEE = std::sqrt(sse / (n - 2));
    }

    if (fit.Kind == TCorrelationKind::Line && !fit.HasLine) {
        TAcceptanceIssue issue;
        if (n < MinLinePairs) {
            issue.Kind = TAcceptanceIssue::TooFewForLine;
            issue.Count = n;
        } else {
            issue.Kind = TAcceptanceIssue::EqualGauge;
            issue.Value = lo->Gauge;
        }
        fit.Issues.push_back(issue);
        return fit;
    }

    // Outliers of the chosen fit.
    std::vector<double> residuals, leverage;
    residuals.reserve(fit.Pairs.size());
    leverage.reserve(fit.Pairs.size());
    double sxx = 0;
    if (fit.Kind == TCorrelationKind::Line)
        for (const TFittedPair& p : fit.Pairs)
            sxx += (p.Gauge - meanGauge) * (p.Gauge - meanGauge);
    for (const TFittedPair& p : fit.Pairs) {
        if (fit.Kind == TCorrelationKind::Line) {
            residuals.push_back(p.LineResidual);
            leverage.push_back(1.0 / n + (p.Gauge - meanGauge) * (p.Gauge - meanGauge) / sxx);
        } else {
            residuals.push_back(p.OffsetResidual);
            leverage.push_back(1.0 / n);
        }
    }
    const std::vector<bool> outliers = FindOutliers(
        residuals, leverage, fit.Kind == TCorrelationKind::Line ? 2 : 1, OutlierFloor * meanCore);
    for (size_t i = 0; i < fit.Pairs.size(); ++i) {
        if (!outliers[i])
            continue;
        TFittedPair& p = fit.Pairs[i];
        p.Outlier = true;
        TAcceptanceIssue issue = PairIssue(
            keepOutliers ? TAcceptanceIssue::OutlierKept : TAcceptanceIssue::Outlier, p.Pair, p.Key);
        issue.Value = residuals[i];
        issue.Blocking = !keepOutliers;
        fit.Issues.push_back(issue);
    }
    return fit;
}

} // namespace lum1
