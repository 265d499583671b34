#include "acceptance/LotCorrelation.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace lum1 {

TCorrection TLotCorrelation::ForUse() const {
    TCorrection c = Correction;
    c.Description = CorrelationDescription(*this);
    return c;
}

TLotCorrelation KeepCorrelation(const TCorrelationFit& fit, const QString& name, const QString& author,
                                const QDateTime& made, std::span<const TLotRecord> lot) {
    TLotCorrelation c;
    c.Name = name.trimmed();
    c.Author = author.trimmed();
    c.Made = made;
    c.Kind = fit.Kind;
    c.KeepOutliers = std::any_of(fit.Issues.begin(), fit.Issues.end(), [](const TAcceptanceIssue& i) {
        return i.Kind == TAcceptanceIssue::OutlierKept;
    });
    std::unordered_map<qint64, qint64> ids;
    for (const TLotRecord& r : lot)
        if (r.Id != 0)
            ids.emplace(r.Key, r.Id);
    for (const TFittedPair& p : fit.Pairs) {
        const auto id = ids.find(p.Key);
        c.Pairs.push_back({p.Key, p.Gauge, p.Core, id == ids.end() ? 0 : id->second});
    }
    c.Correction = fit.Correction();
    return c;
}

std::optional<TCorrection> RefitKept(const TLotCorrelation& c) {
    // The pairs' own gauge densities stand in for the records they were fitted with.
    std::vector<TLotRecord> records;
    std::vector<TCorePair> pairs;
    records.reserve(c.Pairs.size());
    pairs.reserve(c.Pairs.size());
    for (const TKeptPair& p : c.Pairs) {
        TLotRecord r;
        r.Key = p.Key;
        r.Record.Density = static_cast<float>(p.Gauge);
        records.push_back(r);
        pairs.push_back({p.Key, p.Core});
    }
    const TCorrelationFit fit = FitCorrelation(records, pairs, c.Kind, c.KeepOutliers);
    if (!fit.Ok() || fit.Pairs.size() != c.Pairs.size())
        return std::nullopt;
    return fit.Correction();
}

std::vector<TAcceptanceIssue> CheckLotCorrelation(std::span<const TLotRecord> lot, const TLotCorrelation& c) {
    std::vector<TAcceptanceIssue> issues;
    if (c.Scope != TCorrelationScope::Lot)
        return issues;
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
    for (size_t i = 0; i < c.Pairs.size(); ++i) {
        const TKeptPair& pair = c.Pairs[i];
        TAcceptanceIssue issue;
        issue.Pair = static_cast<int>(i) + 1;
        issue.Key = pair.Key;
        const auto found = records.find(pair.Key);
        if (found == records.end()) {
            issue.Kind = TAcceptanceIssue::MissingRecord;
        } else if (found->second.count > 1) {
            issue.Kind = TAcceptanceIssue::AmbiguousRecord;
            issue.Count = found->second.count;
        } else if (const TLotRecord& r = lot[found->second.index];
                   pair.RecordId != 0 && r.Id != 0 && r.Id != pair.RecordId) {
            issue.Kind = TAcceptanceIssue::MissingRecord;
        } else {
            const double gauge = GaugeDensity(r.Record);
            if (std::isnan(gauge)) {
                issue.Kind = TAcceptanceIssue::NoGaugeDensity;
            } else if (gauge != pair.Gauge) {
                issue.Kind = TAcceptanceIssue::PairChanged;
                issue.Value = gauge;
                issue.Other = pair.Gauge;
            } else {
                continue;
            }
        }
        issues.push_back(issue);
    }
    return issues;
}

std::vector<TCorePair> CorePairs(const TLotCorrelation& c) {
    std::vector<TCorePair> pairs;
    pairs.reserve(c.Pairs.size());
    for (const TKeptPair& p : c.Pairs)
        pairs.push_back({p.Key, p.Core});
    return pairs;
}

QString CorrelationDescription(const TLotCorrelation& c) {
    QStringList who;
    if (!c.Author.isEmpty())
        who << c.Author;
    if (c.Made.isValid())
        who << c.Made.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    const QString by = who.join(QStringLiteral(", "));
    if (c.Name.isEmpty())
        return by;
    return by.isEmpty() ? c.Name : c.Name + QStringLiteral(" — ") + by;
}

} // namespace lum1
