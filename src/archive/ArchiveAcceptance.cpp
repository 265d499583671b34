#include "archive/ArchiveAcceptance.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace lum1 {

namespace {

// The stored numbers of the kinds and scopes: never the enums' own values, which may move.
constexpr int kOffset = 1, kLine = 2;
constexpr int kLotScope = 0, kMixScope = 1;
constexpr int kCompaction = 0, kDensity = 1;
constexpr int kEvery = 0, kMean = 1, kPwl = 2;

QVariant Real(double v) {
    return std::isfinite(v) ? QVariant(v) : QVariant(QMetaType::fromType<double>());
}

double RealOf(const QVariant& v) {
    return v.isNull() ? std::numeric_limits<double>::quiet_NaN() : v.toDouble();
}

QVariant Text(const QString& s) {
    return s.isNull() ? QVariant(QStringLiteral("")) : QVariant(s);
}

TLotResult Failed(TArchive& archive, QSqlQuery& q) {
    TLotResult r;
    r.Problem = TLotProblem::ArchiveFailed;
    r.Error = archive.Fail(q.lastError());
    q.finish();
    return r;
}

TLotResult ProblemOf(TLotProblem problem, TArchiveError error = {}) {
    TLotResult r;
    r.Problem = problem;
    r.Error = std::move(error);
    return r;
}

template <typename Body> TLotResult InTransaction(TArchive& archive, Body body) {
    if (archive.ReadOnly())
        return ProblemOf(TLotProblem::ArchiveFailed, archive.Fail(TArchiveErrorKind::ReadOnly));
    if (TArchiveError e = archive.Begin())
        return ProblemOf(TLotProblem::ArchiveFailed, e);
    TLotResult r = body();
    if (!r.Ok()) {
        archive.Rollback();
        return r;
    }
    if (TArchiveError e = archive.Commit())
        return ProblemOf(TLotProblem::ArchiveFailed, e);
    return r;
}

// Whether the lot is there; an error otherwise.
std::optional<TLotResult> CheckLot(TArchive& archive, QSqlQuery& q, qint64 lot) {
    q.prepare(QStringLiteral("SELECT count(*) FROM lot WHERE id = ?"));
    q.addBindValue(lot);
    if (!q.exec() || !q.next())
        return Failed(archive, q);
    const bool found = q.value(0).toLongLong() > 0;
    q.finish();
    if (!found)
        return ProblemOf(TLotProblem::NotFound);
    return std::nullopt;
}

const QString kCorrelationColumns =
    QStringLiteral("c.id, c.name, c.author, c.made, c.scope, c.mix, c.kind, c.keep_outliers, c.offset_value,"
                   " c.offset_sd, c.slope, c.intercept, c.r2, c.see, c.pairs");

// The correlations a query selects (its columns kCorrelationColumns), each with its pairs.
std::vector<TLotCorrelation> SelectCorrelations(TArchive& archive, const QString& sql, const QVariantList& values) {
    std::vector<TLotCorrelation> found;
    archive.ClearError();
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        archive.Fail(q.lastError());
        return {};
    }
    while (q.next()) {
        TLotCorrelation c;
        c.Id = q.value(0).toLongLong();
        c.Name = q.value(1).toString();
        c.Author = q.value(2).toString();
        // Kept in UTC, shown in the local time as it was made.
        c.Made = QDateTime::fromString(q.value(3).toString(), Qt::ISODate).toLocalTime();
        c.Scope = q.value(4).toInt() == kMixScope ? TCorrelationScope::Mix : TCorrelationScope::Lot;
        c.Mix = q.value(5).toString();
        c.Kind = q.value(6).toInt() == kLine ? TCorrelationKind::Line : TCorrelationKind::Offset;
        c.KeepOutliers = q.value(7).toInt() != 0;
        TCorrection& k = c.Correction;
        k.Kind = c.Kind;
        k.Offset = q.value(8).isNull() ? 0.0 : q.value(8).toDouble();
        k.OffsetSD = RealOf(q.value(9));
        k.Slope = q.value(10).isNull() ? 1.0 : q.value(10).toDouble();
        k.Intercept = q.value(11).isNull() ? 0.0 : q.value(11).toDouble();
        k.R2 = RealOf(q.value(12));
        k.SEE = RealOf(q.value(13));
        k.Pairs = q.value(14).toInt();
        found.push_back(std::move(c));
    }
    q.finish();
    for (TLotCorrelation& c : found) {
        QSqlQuery p(archive.Database());
        p.setForwardOnly(true);
        p.prepare(QStringLiteral("SELECT number, record_id, gauge, core FROM correlation_pair"
                                 " WHERE correlation_id = ? ORDER BY place"));
        p.addBindValue(c.Id);
        if (!p.exec()) {
            archive.Fail(p.lastError());
            return {};
        }
        while (p.next())
            c.Pairs.push_back({p.value(0).toLongLong(), p.value(2).toDouble(), p.value(3).toDouble(),
                               p.value(1).isNull() ? 0 : p.value(1).toLongLong()});
        // The outliers kept on the user's word are the report's notes: they come from the pairs.
        if (const std::optional<TCorrection> refit = RefitKept(c))
            c.Correction.Notes = refit->Notes;
    }
    return found;
}

} // namespace

std::vector<TLotRecord> AcceptanceLotRecords(TArchive& archive, qint64 lot) {
    std::vector<TLotRecord> records;
    const std::vector<TArchiveRow> rows = LotRecords(archive, lot);
    records.reserve(rows.size());
    for (const TArchiveRow& row : rows)
        records.push_back({row.Record.Number, row.Record, row.Id});
    return records;
}

TLotResult ApplyLotCorrelation(TArchive& archive, qint64 lot, const TLotCorrelation& c) {
    return InTransaction(archive, [&]() -> TLotResult {
        QSqlQuery q(archive.Database());
        if (std::optional<TLotResult> problem = CheckLot(archive, q, lot))
            return *problem;
        qint64 id = c.Id;
        if (id == 0) {
            const TCorrection& k = c.Correction;
            const bool line = c.Kind == TCorrelationKind::Line;
            q.prepare(QStringLiteral(
                "INSERT INTO correlation (name, author, made, scope, mix, lot_id, kind, keep_outliers,"
                " offset_value, offset_sd, slope, intercept, r2, see, pairs)"
                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
            q.addBindValue(Text(c.Name));
            q.addBindValue(Text(c.Author));
            const QDateTime made = c.Made.isValid() ? c.Made : QDateTime::currentDateTime();
            q.addBindValue(made.toUTC().toString(Qt::ISODate));
            q.addBindValue(c.Scope == TCorrelationScope::Mix ? kMixScope : kLotScope);
            q.addBindValue(Text(c.Scope == TCorrelationScope::Mix ? c.Mix : QString()));
            q.addBindValue(lot);
            q.addBindValue(line ? kLine : kOffset);
            q.addBindValue(c.KeepOutliers ? 1 : 0);
            q.addBindValue(line ? QVariant(QMetaType::fromType<double>()) : Real(k.Offset));
            q.addBindValue(line ? QVariant(QMetaType::fromType<double>()) : Real(k.OffsetSD));
            q.addBindValue(line ? Real(k.Slope) : QVariant(QMetaType::fromType<double>()));
            q.addBindValue(line ? Real(k.Intercept) : QVariant(QMetaType::fromType<double>()));
            q.addBindValue(Real(k.R2));
            q.addBindValue(Real(k.SEE));
            q.addBindValue(k.Pairs > 0 ? k.Pairs : static_cast<int>(c.Pairs.size()));
            if (!q.exec() || !q.next())
                return Failed(archive, q);
            id = q.value(0).toLongLong();
            q.finish();
            int place = 0;
            for (const TKeptPair& p : c.Pairs) {
                q.prepare(QStringLiteral("INSERT INTO correlation_pair (correlation_id, place, number, record_id,"
                                         " gauge, core) VALUES (?, ?, ?, ?, ?, ?)"));
                q.addBindValue(id);
                q.addBindValue(++place);
                q.addBindValue(p.Key);
                q.addBindValue(p.RecordId != 0 ? QVariant(p.RecordId) : QVariant(QMetaType::fromType<qint64>()));
                q.addBindValue(p.Gauge);
                q.addBindValue(p.Core);
                if (!q.exec())
                    return Failed(archive, q);
            }
        } else {
            q.prepare(QStringLiteral("SELECT count(*) FROM correlation WHERE id = ?"));
            q.addBindValue(id);
            if (!q.exec() || !q.next())
                return Failed(archive, q);
            if (q.value(0).toLongLong() == 0)
                return ProblemOf(TLotProblem::NotFound);
            q.finish();
        }
        q.prepare(QStringLiteral("UPDATE lot SET correlation_id = ? WHERE id = ?"));
        q.addBindValue(id);
        q.addBindValue(lot);
        if (!q.exec())
            return Failed(archive, q);
        TLotResult r;
        r.Id = id;
        return r;
    });
}

TLotResult RemoveLotCorrelation(TArchive& archive, qint64 lot) {
    return InTransaction(archive, [&]() -> TLotResult {
        QSqlQuery q(archive.Database());
        q.prepare(QStringLiteral("UPDATE lot SET correlation_id = NULL WHERE id = ?"));
        q.addBindValue(lot);
        if (!q.exec())
            return Failed(archive, q);
        if (q.numRowsAffected() == 0)
            return ProblemOf(TLotProblem::NotFound);
        return TLotResult{};
    });
}

std::optional<TLotCorrelation> LotCorrelationOf(TArchive& archive, qint64 lot) {
    std::vector<TLotCorrelation> found = SelectCorrelations(
        archive,
        QStringLiteral("SELECT ") + kCorrelationColumns +
            QStringLiteral(" FROM correlation c JOIN lot l ON l.correlation_id = c.id WHERE l.id = ?"),
        {lot});
    return found.empty() ? std::nullopt : std::optional(std::move(found.front()));
}

std::optional<TLotCorrelation> FindCorrelation(TArchive& archive, qint64 id) {
    std::vector<TLotCorrelation> found = SelectCorrelations(
        archive, QStringLiteral("SELECT ") + kCorrelationColumns + QStringLiteral(" FROM correlation c WHERE c.id = ?"),
        {id});
    return found.empty() ? std::nullopt : std::optional(std::move(found.front()));
}

std::vector<TLotCorrelation> MixCorrelations(TArchive& archive, const QString& mix) {
    if (mix.trimmed().isEmpty())
        return {};
    return SelectCorrelations(archive,
                              QStringLiteral("SELECT ") + kCorrelationColumns +
                                  QStringLiteral(" FROM correlation c WHERE c.scope = ? AND c.mix = ?"
                                                 " ORDER BY c.made DESC, c.id DESC"),
                              {kMixScope, mix});
}

std::optional<TAcceptanceLimits> LotLimits(TArchive& archive, qint64 lot) {
    archive.ClearError();
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT limits_quantity, limits_lower, limits_upper, limits_rule, limits_tolerance,"
                             " limits_pwl FROM lot WHERE id = ?"));
    q.addBindValue(lot);
    if (!q.exec()) {
        archive.Fail(q.lastError());
        return std::nullopt;
    }
    if (!q.next() || q.value(0).isNull() || q.value(1).isNull())
        return std::nullopt;
    TAcceptanceLimits l;
    l.Quantity = q.value(0).toInt() == kDensity ? TAcceptanceQuantity::Density : TAcceptanceQuantity::Compaction;
    l.Lower = q.value(1).toDouble();
    if (!q.value(2).isNull())
        l.Upper = q.value(2).toDouble();
    const int rule = q.value(3).toInt();
    l.Rule = rule == kPwl    ? TAcceptanceRule::Pwl
             : rule == kMean ? TAcceptanceRule::MeanAndTolerance
                             : TAcceptanceRule::EveryPoint;
    if (!q.value(4).isNull())
        l.Tolerance = q.value(4).toDouble();
    if (!q.value(5).isNull())
        l.PwlThreshold = q.value(5).toDouble();
    // What another program wrote there is no limit the verdict may rest on.
    if (!l.Valid())
        return std::nullopt;
    return l;
}

TLotResult SetLotLimits(TArchive& archive, qint64 lot, const TAcceptanceLimits& l) {
    if (!l.Valid())
        return ProblemOf(TLotProblem::BadLimits);
    return InTransaction(archive, [&]() -> TLotResult {
        QSqlQuery q(archive.Database());
        q.prepare(QStringLiteral("UPDATE lot SET limits_quantity = ?, limits_lower = ?, limits_upper = ?,"
                                 " limits_rule = ?, limits_tolerance = ?, limits_pwl = ? WHERE id = ?"));
        q.addBindValue(l.Quantity == TAcceptanceQuantity::Density ? kDensity : kCompaction);
        q.addBindValue(l.Lower);
        q.addBindValue(l.Upper ? QVariant(*l.Upper) : QVariant(QMetaType::fromType<double>()));
        q.addBindValue(l.Rule == TAcceptanceRule::Pwl                ? kPwl
                       : l.Rule == TAcceptanceRule::MeanAndTolerance ? kMean
                                                                     : kEvery);
        q.addBindValue(l.Tolerance);
        q.addBindValue(l.PwlThreshold);
        q.addBindValue(lot);
        if (!q.exec())
            return Failed(archive, q);
        if (q.numRowsAffected() == 0)
            return ProblemOf(TLotProblem::NotFound);
        TLotResult r;
        r.Id = lot;
        return r;
    });
}

} // namespace lum1
