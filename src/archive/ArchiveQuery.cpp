#include "archive/ArchiveQuery.h"

#include "archive/RecordKey.h"
#include "results/RecordTexts.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstring>

namespace lum1 {

namespace {

// A filter as SQL over "measurement m": conditions joined by AND with their bound values. Ids
// found for a text are written as numbers: they come from the archive itself, never from the
// user.
struct TWhere {
    QStringList Conditions;
    QVariantList Values;
    bool Nothing = false; // a text matched no name: no record can pass
    bool Failed = false;

    QString Sql() const {
        return Conditions.isEmpty() ? QString()
                                    : QStringLiteral(" WHERE ") + Conditions.join(QStringLiteral(" AND "));
    }
};

// The ids of the names (in table) that contain the text in any letter case, or equal it. The
// match is made here rather than in SQL: SQLite's LIKE ignores the case of Latin letters only.
bool MatchingIds(TArchive& archive, const char* table, const char* column, const QString& text, bool exact,
                 QStringList& ids) {
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    if (exact) {
        q.prepare(QStringLiteral("SELECT id FROM %1 WHERE %2 = ?")
                      .arg(QLatin1String(table), QLatin1String(column)));
        q.addBindValue(text);
    } else {
        q.prepare(QStringLiteral("SELECT id, %2 FROM %1").arg(QLatin1String(table), QLatin1String(column)));
    }
    if (!q.exec()) {
        archive.Fail(q.lastError());
        return false;
    }
    while (q.next())
        if (exact || q.value(1).toString().contains(text, Qt::CaseInsensitive))
            ids << QString::number(q.value(0).toLongLong());
    return true;
}

TWhere BuildWhere(TArchive& archive, const TArchiveFilter& filter, bool withDeletedCondition = true) {
    TWhere w;
    if (filter.From) {
        w.Conditions << QStringLiteral("m.measured >= ?");
        w.Values << FirstKeyOfDay(*filter.From);
    }
    if (filter.To) {
        w.Conditions << QStringLiteral("m.measured <= ?");
        w.Values << LastKeyOfDay(*filter.To);
    }
    const struct {
        const QString& text;
        const char* table;
        const char* nameColumn;
        const char* column;
    } texts[] = {{filter.Object, "object_name", "name", "m.object_id"},
                 {filter.Material, "material_name", "name", "m.material_id"},
                 {filter.Gauge, "gauge", "param_text", "m.gauge_id"}};
    for (const auto& t : texts) {
        if (t.text.isEmpty())
            continue;
        QStringList ids;
        if (!MatchingIds(archive, t.table, t.nameColumn, t.text, filter.Exact, ids)) {
            w.Failed = true;
            return w;
        }
        if (ids.isEmpty())
            w.Nothing = true;
        else
            w.Conditions << QStringLiteral("%1 IN (%2)").arg(QLatin1String(t.column), ids.join(u','));
    }
    if (filter.Lot == NoLot) {
        w.Conditions << QStringLiteral("m.lot_id IS NULL");
    } else if (filter.Lot != AnyLot) {
        w.Conditions << QStringLiteral("m.lot_id = ?");
        w.Values << filter.Lot;
    }
    if (withDeletedCondition && !filter.ShowDeleted)
        w.Conditions << QStringLiteral("m.deleted = 0");
    return w;
}

bool Bind(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : values)
        q.addBindValue(v);
    return q.exec();
}

std::optional<qint64> CountOf(TArchive& archive, const QString& sql, const QVariantList& values) {
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    if (!Bind(q, sql, values) || !q.next()) {
        archive.Fail(q.lastError());
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

// The sort expression of a column of the table. Compaction factor and porosity exist only where
// the table shows them (a reference density, mode other than 2).
QString SortExpression(int column) {
    static const char* const expressions[ResultColumns] = {
        "m.number",
        "m.measured",
        "m.density",
        "CASE WHEN m.mode = 2 OR m.refdensity = 0 THEN NULL ELSE m.density / m.refdensity END",
        "CASE WHEN m.mode = 2 OR m.refdensity = 0 THEN NULL ELSE 1 - m.density / m.refdensity END",
        "m.temperature",
        "o.name",
        "m.latitude",
        "ma.name",
        "m.thickness",
        "m.avernum",
    };
    return QLatin1String(expressions[std::clamp(column, 0, ResultColumns - 1)]);
}

TArchiveRow RowOf(const QSqlQuery& q) {
    TArchiveRow row;
    row.Id = q.value(0).toLongLong();
    const QByteArray bytes = q.value(1).toByteArray();
    if (bytes.size() == RecordSize)
        std::memcpy(&row.Record, bytes.constData(), RecordSize);
    row.Lot = q.value(2).isNull() ? NoLot : q.value(2).toLongLong();
    return row;
}

} // namespace

TArchiveCounts CountRecords(TArchive& archive, const TArchiveFilter& filter) {
    TArchiveCounts counts;
    archive.ClearError();
    const std::optional<qint64> total =
        CountOf(archive, QStringLiteral("SELECT count(*) FROM measurement"), {});
    if (!total)
        return {};
    counts.Total = *total;
    TWhere w = BuildWhere(archive, filter, false);
    if (w.Failed)
        return {};
    if (w.Nothing)
        return counts;
    // Both counts run on indexes: all that pass, and the deleted among them (a partial index).
    const std::optional<qint64> all =
        CountOf(archive, QStringLiteral("SELECT count(*) FROM measurement m") + w.Sql(), w.Values);
    w.Conditions << QStringLiteral("m.deleted = 1");
    const std::optional<qint64> deleted =
        all ? CountOf(archive, QStringLiteral("SELECT count(*) FROM measurement m") + w.Sql(), w.Values)
            : std::nullopt;
    if (!deleted)
        return {};
    counts.Shown = filter.ShowDeleted ? *all : *all - *deleted;
    counts.Deleted = filter.ShowDeleted ? *deleted : 0;
    return counts;
}

std::vector<TArchiveRow> FetchRecords(TArchive& archive, const TArchiveFilter& filter,
                                      const TArchiveSort& sort, qint64 offset, int limit) {
    std::vector<TArchiveRow> rows;
    archive.ClearError();
    const TWhere w = BuildWhere(archive, filter);
    if (w.Failed || w.Nothing || limit <= 0)
        return rows;
    const int column = std::clamp(sort.Column, 0, ResultColumns - 1);
    QString joins;
    if (column == 6)
        joins = QStringLiteral(" JOIN object_name o ON o.id = m.object_id");
    else if (column == 8)
        joins = QStringLiteral(" JOIN material_name ma ON ma.id = m.material_id");
    const QString direction = sort.Descending ? QStringLiteral(" DESC") : QString();
    QString order = SortExpression(column) + direction + QStringLiteral(" NULLS LAST");
    if (column == 7) // the coordinates: latitude, then longitude
        order += QStringLiteral(", m.longitude") + direction;
    order += QStringLiteral(", m.id") + direction;
    QVariantList values = w.Values;
    values << limit << std::max<qint64>(0, offset);
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    if (!Bind(q,
              QStringLiteral("SELECT m.id, m.bytes, m.lot_id FROM measurement m") + joins + w.Sql() +
                  QStringLiteral(" ORDER BY ") + order + QStringLiteral(" LIMIT ? OFFSET ?"),
              values)) {
        archive.Fail(q.lastError());
        return rows;
    }
    rows.reserve(static_cast<size_t>(limit));
    while (q.next())
        rows.push_back(RowOf(q));
    return rows;
}

std::vector<TArchiveRow> FetchRecordsById(TArchive& archive, const std::vector<qint64>& ids) {
    std::vector<TArchiveRow> rows;
    archive.ClearError();
    QHash<qint64, TArchiveRow> found;
    constexpr size_t chunk = 500;
    for (size_t from = 0; from < ids.size(); from += chunk) {
        const size_t n = std::min(chunk, ids.size() - from);
        QStringList marks;
        QVariantList values;
        for (size_t i = from; i < from + n; ++i) {
            marks << QStringLiteral("?");
            values << ids[i];
        }
        QSqlQuery q(archive.Database());
        q.setForwardOnly(true);
        if (!Bind(q,
                  QStringLiteral("SELECT m.id, m.bytes, m.lot_id FROM measurement m WHERE m.id IN (%1)")
                      .arg(marks.join(u',')),
                  values)) {
            archive.Fail(q.lastError());
            return {};
        }
        while (q.next()) {
            TArchiveRow row = RowOf(q);
            found.insert(row.Id, row);
        }
    }
    rows.reserve(ids.size());
    for (qint64 id : ids)
        if (const auto it = found.constFind(id); it != found.cend())
            rows.push_back(*it);
    return rows;
}

namespace {

QStringList Names(TArchive& archive, const char* table, const char* column) {
    QStringList names;
    archive.ClearError();
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %2 FROM %1").arg(QLatin1String(table), QLatin1String(column)))) {
        archive.Fail(q.lastError());
        return names;
    }
    while (q.next())
        if (const QString name = q.value(0).toString(); !name.isEmpty())
            names << name;
    names.sort(Qt::CaseInsensitive);
    return names;
}

} // namespace

QStringList ObjectNames(TArchive& archive) {
    return Names(archive, "object_name", "name");
}

QStringList MaterialNames(TArchive& archive) {
    return Names(archive, "material_name", "name");
}

QStringList GaugeTexts(TArchive& archive) {
    return Names(archive, "gauge", "param_text");
}

} // namespace lum1
