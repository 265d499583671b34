#include "archive/ArchiveLots.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cstring>

namespace lum1 {

namespace {

const QString kLotColumns = QStringLiteral("l.id, l.name, l.object, l.material, l.layer, l.notes, l.created,"
                                           " (SELECT count(*) FROM measurement m WHERE m.lot_id = l.id)");

TLot LotOf(const QSqlQuery& q) {
    TLot lot;
    lot.Id = q.value(0).toLongLong();
    lot.Name = q.value(1).toString();
    lot.Object = q.value(2).toString();
    lot.Material = q.value(3).toString();
    lot.Layer = q.value(4).toString();
    lot.Notes = q.value(5).toString();
    lot.Created = QDateTime::fromString(q.value(6).toString(), Qt::ISODate);
    lot.Records = q.value(7).toLongLong();
    return lot;
}

std::vector<TLot> Select(TArchive& archive, const QString& where, const QVariantList& values) {
    std::vector<TLot> lots;
    archive.ClearError();
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT ") + kLotColumns + QStringLiteral(" FROM lot l") + where +
              QStringLiteral(" ORDER BY l.name"));
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec()) {
        archive.Fail(q.lastError());
        return lots;
    }
    while (q.next())
        lots.push_back(LotOf(q));
    return lots;
}

TLotResult Failed(TArchive& archive, QSqlQuery* q = nullptr) {
    TLotResult r;
    r.Problem = TLotProblem::ArchiveFailed;
    r.Error = q ? archive.Fail(q->lastError()) : archive.LastError();
    if (q)
        q->finish();
    return r;
}

TLotResult Problem(TLotProblem problem) {
    TLotResult r;
    r.Problem = problem;
    return r;
}

// A change in one transaction: body returns a problem or none, and the transaction ends
// accordingly.
template <typename Body> TLotResult InTransaction(TArchive& archive, Body body) {
    if (archive.ReadOnly()) {
        TLotResult r = Problem(TLotProblem::ArchiveFailed);
        r.Error = archive.Fail(TArchiveErrorKind::ReadOnly);
        return r;
    }
    if (TArchiveError e = archive.Begin()) {
        TLotResult r = Problem(TLotProblem::ArchiveFailed);
        r.Error = e;
        return r;
    }
    TLotResult r = body();
    if (!r.Ok()) {
        archive.Rollback();
        return r;
    }
    if (TArchiveError e = archive.Commit()) {
        TLotResult failed = Problem(TLotProblem::ArchiveFailed);
        failed.Error = e;
        return failed;
    }
    return r;
}

// Another lot of this name (excluding the lot `except`).
std::optional<bool> NameTaken(TArchive& archive, const QString& name, qint64 except) {
    QSqlQuery q(archive.Database());
    q.prepare(QStringLiteral("SELECT count(*) FROM lot WHERE name = ? AND id <> ?"));
    q.addBindValue(name);
    q.addBindValue(except);
    if (!q.exec() || !q.next()) {
        archive.Fail(q.lastError());
        return std::nullopt;
    }
    return q.value(0).toLongLong() > 0;
}

} // namespace

std::vector<TLot> Lots(TArchive& archive) {
    return Select(archive, {}, {});
}

std::optional<TLot> FindLot(TArchive& archive, qint64 id) {
    std::vector<TLot> lots = Select(archive, QStringLiteral(" WHERE l.id = ?"), {id});
    return lots.empty() ? std::nullopt : std::optional<TLot>(lots.front());
}

std::optional<TLot> FindLotByName(TArchive& archive, const QString& name) {
    std::vector<TLot> lots = Select(archive, QStringLiteral(" WHERE l.name = ?"), {name});
    return lots.empty() ? std::nullopt : std::optional<TLot>(lots.front());
}

TLotResult CreateLot(TArchive& archive, const TLot& lot) {
    const QString name = lot.Name.trimmed();
    if (name.isEmpty())
        return Problem(TLotProblem::EmptyName);
    return InTransaction(archive, [&]() {
        const std::optional<bool> taken = NameTaken(archive, name, 0);
        if (!taken)
            return Failed(archive);
        if (*taken)
            return Problem(TLotProblem::NameTaken);
        QSqlQuery q(archive.Database());
        q.prepare(QStringLiteral("INSERT INTO lot (name, object, material, layer, notes, created)"
                                 " VALUES (?, ?, ?, ?, ?, ?) RETURNING id"));
        q.addBindValue(name);
        q.addBindValue(lot.Object.isNull() ? QStringLiteral("") : lot.Object);
        q.addBindValue(lot.Material.isNull() ? QStringLiteral("") : lot.Material);
        q.addBindValue(lot.Layer.isNull() ? QStringLiteral("") : lot.Layer);
        q.addBindValue(lot.Notes.isNull() ? QStringLiteral("") : lot.Notes);
        q.addBindValue(QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
        if (!q.exec() || !q.next())
            return Failed(archive, &q);
        TLotResult r;
        r.Id = q.value(0).toLongLong();
        q.finish();
        return r;
    });
}

TLotResult UpdateLot(TArchive& archive, const TLot& lot) {
    const QString name = lot.Name.trimmed();
    if (name.isEmpty())
        return Problem(TLotProblem::EmptyName);
    return InTransaction(archive, [&]() {
        const std::optional<bool> taken = NameTaken(archive, name, lot.Id);
        if (!taken)
            return Failed(archive);
        if (*taken)
            return Problem(TLotProblem::NameTaken);
        QSqlQuery q(archive.Database());
        q.prepare(QStringLiteral(
            "UPDATE lot SET name = ?, object = ?, material = ?, layer = ?, notes = ? WHERE id = ?"));
        q.addBindValue(name);
        q.addBindValue(lot.Object.isNull() ? QStringLiteral("") : lot.Object);
        q.addBindValue(lot.Material.isNull() ? QStringLiteral("") : lot.Material);
        q.addBindValue(lot.Layer.isNull() ? QStringLiteral("") : lot.Layer);
        q.addBindValue(lot.Notes.isNull() ? QStringLiteral("") : lot.Notes);
        q.addBindValue(lot.Id);
        if (!q.exec())
            return Failed(archive, &q);
        if (q.numRowsAffected() == 0)
            return Problem(TLotProblem::NotFound);
        TLotResult r;
        r.Id = lot.Id;
        return r;
    });
}

TLotResult DeleteLot(TArchive& archive, qint64 id) {
    return InTransaction(archive, [&]() {
        QSqlQuery q(archive.Database());
        q.prepare(QStringLiteral("UPDATE measurement SET lot_id = NULL WHERE lot_id = ?"));
        q.addBindValue(id);
        if (!q.exec())
            return Failed(archive, &q);
        q.prepare(QStringLiteral("UPDATE correlation SET lot_id = NULL WHERE lot_id = ?"));
        q.addBindValue(id);
        if (!q.exec())
            return Failed(archive, &q);
        q.prepare(QStringLiteral("DELETE FROM lot WHERE id = ?"));
        q.addBindValue(id);
        if (!q.exec())
            return Failed(archive, &q);
        if (q.numRowsAffected() == 0)
            return Problem(TLotProblem::NotFound);
        return TLotResult{};
    });
}

namespace {

QString Marks(size_t n) {
    QString s;
    for (size_t i = 0; i < n; ++i)
        s += i ? QStringLiteral(",?") : QStringLiteral("?");
    return s;
}

constexpr size_t kChunk = 500;

} // namespace

qint64 CountInOtherLots(TArchive& archive, const std::vector<qint64>& recordIds, qint64 lot) {
    archive.ClearError();
    qint64 count = 0;
    for (size_t from = 0; from < recordIds.size(); from += kChunk) {
        const size_t n = std::min(kChunk, recordIds.size() - from);
        QSqlQuery q(archive.Database());
        q.prepare(QStringLiteral("SELECT count(*) FROM measurement WHERE lot_id IS NOT NULL AND lot_id <> ?"
                                 " AND id IN (%1)")
                      .arg(Marks(n)));
        q.addBindValue(lot);
        for (size_t i = from; i < from + n; ++i)
            q.addBindValue(recordIds[i]);
        if (!q.exec() || !q.next()) {
            archive.Fail(q.lastError());
            return 0;
        }
        count += q.value(0).toLongLong();
    }
    return count;
}

TLotResult AssignToLot(TArchive& archive, const std::vector<qint64>& recordIds, qint64 lot) {
    return InTransaction(archive, [&]() {
        QSqlQuery q(archive.Database());
        if (lot != NoLot) {
            q.prepare(QStringLiteral("SELECT count(*) FROM lot WHERE id = ?"));
            q.addBindValue(lot);
            if (!q.exec() || !q.next())
                return Failed(archive, &q);
            if (q.value(0).toLongLong() == 0)
                return Problem(TLotProblem::NotFound);
            q.finish();
        }
        TLotResult r;
        r.Moved = lot == NoLot ? 0 : static_cast<int>(CountInOtherLots(archive, recordIds, lot));
        if (archive.LastError())
            return Failed(archive);
        for (size_t from = 0; from < recordIds.size(); from += kChunk) {
            const size_t n = std::min(kChunk, recordIds.size() - from);
            q.prepare(QStringLiteral("UPDATE measurement SET lot_id = ? WHERE id IN (%1)").arg(Marks(n)));
            q.addBindValue(lot == NoLot ? QVariant(QMetaType::fromType<qint64>()) : QVariant(lot));
            for (size_t i = from; i < from + n; ++i)
                q.addBindValue(recordIds[i]);
            if (!q.exec())
                return Failed(archive, &q);
            r.Assigned += q.numRowsAffected();
            q.finish();
        }
        return r;
    });
}

std::vector<TArchiveRow> LotRecords(TArchive& archive, qint64 lot) {
    std::vector<TArchiveRow> rows;
    archive.ClearError();
    QSqlQuery q(archive.Database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT m.id, m.bytes, m.lot_id FROM measurement m WHERE m.lot_id = ?"
                             " ORDER BY m.measured, m.id"));
    q.addBindValue(lot);
    if (!q.exec()) {
        archive.Fail(q.lastError());
        return rows;
    }
    while (q.next()) {
        TArchiveRow row;
        row.Id = q.value(0).toLongLong();
        const QByteArray bytes = q.value(1).toByteArray();
        if (bytes.size() == RecordSize)
            std::memcpy(&row.Record, bytes.constData(), RecordSize);
        row.Lot = lot;
        rows.push_back(row);
    }
    return rows;
}

} // namespace lum1
