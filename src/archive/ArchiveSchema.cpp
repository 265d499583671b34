#include "archive/ArchiveSchema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace lum1 {

namespace {

// Version 1: the records, kept once, and the arrivals that brought them. Object, material and
// gauge texts stand once in tables of their own, so a record carries small numbers for them
// and the object filter runs on an index of (object, time).
const TMigration kMigrations[] = {
    {1,
     {
         "CREATE TABLE archive_info (name TEXT PRIMARY KEY, value TEXT NOT NULL)",
         "CREATE TABLE gauge (id {id}, param_text TEXT NOT NULL UNIQUE)",
         "CREATE TABLE object_name (id {id}, name TEXT NOT NULL UNIQUE)",
         "CREATE TABLE material_name (id {id}, name TEXT NOT NULL UNIQUE)",
         "CREATE TABLE arrival (id {id}, kind INTEGER NOT NULL, arrived TEXT NOT NULL,"
         " gauge_id {key} REFERENCES gauge(id), user_name TEXT NOT NULL DEFAULT '',"
         " file_name TEXT NOT NULL DEFAULT '', records INTEGER NOT NULL DEFAULT 0,"
         " new_records INTEGER NOT NULL DEFAULT 0, known_records INTEGER NOT NULL DEFAULT 0)",
         "CREATE TABLE measurement (id {id}, rkey {key} NOT NULL, bytes {blob} NOT NULL,"
         " measured {key} NOT NULL, deleted INTEGER NOT NULL, number INTEGER NOT NULL,"
         " density {real}, refdensity {real}, mode INTEGER NOT NULL, temperature {real},"
         " latitude INTEGER NOT NULL, longitude INTEGER NOT NULL, thickness INTEGER NOT NULL,"
         " avernum INTEGER NOT NULL,"
         " object_id {key} NOT NULL REFERENCES object_name(id),"
         " material_id {key} NOT NULL REFERENCES material_name(id),"
         " gauge_id {key} REFERENCES gauge(id),"
         " arrival_id {key} NOT NULL REFERENCES arrival(id))",
         "CREATE UNIQUE INDEX measurement_key ON measurement(rkey)",
         "CREATE INDEX measurement_time ON measurement(measured)",
         "CREATE INDEX measurement_object ON measurement(object_id, measured)",
         // Few records are deleted ones: their count comes from this small index.
         "CREATE INDEX measurement_deleted ON measurement(measured) WHERE deleted = 1",
         "INSERT INTO archive_info (name, value) VALUES ('schema_version', '0')",
     }},
    // Version 2: lots. A record belongs to at most one: the lot is a column of the record.
    {2,
     {
         "CREATE TABLE lot (id {id}, name TEXT NOT NULL UNIQUE, object TEXT NOT NULL DEFAULT '',"
         " material TEXT NOT NULL DEFAULT '', layer TEXT NOT NULL DEFAULT '',"
         " notes TEXT NOT NULL DEFAULT '', created TEXT NOT NULL)",
         "ALTER TABLE measurement ADD COLUMN lot_id {key} REFERENCES lot(id)",
         "CREATE INDEX measurement_lot ON measurement(lot_id, measured) WHERE lot_id IS NOT NULL",
     }},
    // Version 3: the lot acceptance. A correlation to cores is kept once made and never changed
    // (a new fit is a new correlation), with its pairs as they were fitted: each names the record
    // by its number on the gauge, as the user typed it, and by the archive's id. Made for a lot
    // (lot_id) or for a mix (scope 1, the mix's name) to be reused across lots. A lot carries the
    // correlation applied to it and, once the user sets them, its own limits and rule (quantity
    // NULL: the program's defaults).
    {3,
     {
         "CREATE TABLE correlation (id {id}, name TEXT NOT NULL DEFAULT '', author TEXT NOT NULL DEFAULT '',"
         " made TEXT NOT NULL, scope INTEGER NOT NULL, mix TEXT NOT NULL DEFAULT '',"
         " lot_id {key} REFERENCES lot(id), kind INTEGER NOT NULL, keep_outliers INTEGER NOT NULL,"
         " offset_value {real}, offset_sd {real}, slope {real}, intercept {real}, r2 {real}, see {real},"
         " pairs INTEGER NOT NULL)",
         "CREATE TABLE correlation_pair (correlation_id {key} NOT NULL REFERENCES correlation(id),"
         " place INTEGER NOT NULL, number {key} NOT NULL, record_id {key}, gauge {real} NOT NULL,"
         " core {real} NOT NULL, PRIMARY KEY (correlation_id, place))",
         "CREATE INDEX correlation_mix ON correlation(mix, made)",
         "ALTER TABLE lot ADD COLUMN correlation_id {key} REFERENCES correlation(id)",
         "ALTER TABLE lot ADD COLUMN limits_quantity INTEGER",
         "ALTER TABLE lot ADD COLUMN limits_lower {real}",
         "ALTER TABLE lot ADD COLUMN limits_upper {real}",
         "ALTER TABLE lot ADD COLUMN limits_rule INTEGER",
         "ALTER TABLE lot ADD COLUMN limits_tolerance {real}",
         "ALTER TABLE lot ADD COLUMN limits_pwl {real}",
     }},
};

// Any number of our own: PostgreSQL's advisory lock that serialises the schema's creation.
constexpr qint64 kSchemaLock = 0x4C554D31;

bool Exec(QSqlQuery& q, const QString& sql) {
    return q.exec(sql);
}

} // namespace

std::span<const TMigration> ArchiveMigrations() {
    return kMigrations;
}

int CurrentSchemaVersion() {
    return kMigrations[std::size(kMigrations) - 1].Version;
}

QString ForEngine(const char* statement, TArchiveEngine engine) {
    QString s = QString::fromLatin1(statement);
    const bool pg = engine == TArchiveEngine::PostgreSQL;
    s.replace(QStringLiteral("{id}"),
              pg ? QStringLiteral("BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                 : QStringLiteral("INTEGER PRIMARY KEY"));
    s.replace(QStringLiteral("{key}"), pg ? QStringLiteral("BIGINT") : QStringLiteral("INTEGER"));
    s.replace(QStringLiteral("{blob}"), pg ? QStringLiteral("BYTEA") : QStringLiteral("BLOB"));
    s.replace(QStringLiteral("{real}"), pg ? QStringLiteral("DOUBLE PRECISION") : QStringLiteral("REAL"));
    return s;
}

int ReadSchemaVersion(TArchive& archive, TArchiveError* error) {
    QSqlQuery q(archive.Database());
    auto failed = [&]() {
        const TArchiveError e = archive.Fail(q.lastError());
        if (error)
            *error = e;
        return 0;
    };
    bool hasInfo = false, hasTables = false;
    if (archive.Engine() == TArchiveEngine::SQLite) {
        if (!Exec(q, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
            return failed();
        while (q.next()) {
            hasTables = true;
            hasInfo = hasInfo || q.value(0).toString() == u"archive_info";
        }
    } else {
        if (!Exec(q, QStringLiteral("SELECT to_regclass('archive_info') IS NOT NULL")) || !q.next())
            return failed();
        hasInfo = q.value(0).toBool();
    }
    if (!hasInfo)
        return hasTables ? -1 : 0;
    if (!Exec(q, QStringLiteral("SELECT value FROM archive_info WHERE name = 'schema_version'")))
        return failed();
    if (!q.next())
        return -1;
    bool ok = false;
    const int version = q.value(0).toString().toInt(&ok);
    return ok && version >= 0 ? version : -1;
}

TArchiveError MigrateArchive(TArchive& archive, int version) {
    TArchiveError error;
    int found = ReadSchemaVersion(archive, &error);
    if (error)
        return error;
    if (found < 0)
        return archive.Fail(TArchiveErrorKind::Foreign);
    if (found > version) {
        TArchiveError newer = archive.Fail(TArchiveErrorKind::NewerSchema);
        newer.SchemaVersion = found;
        return newer;
    }
    if (found == version)
        return {};
    if (archive.ReadOnly())
        return archive.Fail(TArchiveErrorKind::ReadOnly);

    const bool pg = archive.Engine() == TArchiveEngine::PostgreSQL;
    QSqlQuery q(archive.Database());
    // On a server the lock is the session's, taken before the transaction begins: a
    // transaction that began before another program's schema was committed could still miss it.
    if (pg) {
        q.prepare(QStringLiteral("SELECT pg_advisory_lock(?)"));
        q.addBindValue(kSchemaLock);
        if (!q.exec())
            return archive.Fail(q.lastError());
        q.finish();
    }
    const auto unlock = [&]() {
        if (!pg)
            return;
        QSqlQuery u(archive.Database());
        u.prepare(QStringLiteral("SELECT pg_advisory_unlock(?)"));
        u.addBindValue(kSchemaLock);
        u.exec();
    };
    if (TArchiveError e = archive.Begin()) {
        unlock();
        return e;
    }
    auto fail = [&]() {
        const TArchiveError e = archive.Fail(q.lastError());
        q.finish();
        archive.Rollback();
        unlock();
        return e;
    };
    // Another program may have brought the schema up while this one waited.
    found = ReadSchemaVersion(archive, &error);
    if (error) {
        archive.Rollback();
        unlock();
        return error;
    }
    if (found < 0 || found > version) {
        archive.Rollback();
        unlock();
        return found < 0 ? archive.Fail(TArchiveErrorKind::Foreign)
                         : archive.Fail(TArchiveErrorKind::NewerSchema);
    }
    for (const TMigration& m : kMigrations) {
        if (m.Version <= found || m.Version > version)
            continue;
        for (const char* statement : m.Statements)
            if (!Exec(q, ForEngine(statement, archive.Engine())))
                return fail();
        q.prepare(QStringLiteral("UPDATE archive_info SET value = ? WHERE name = 'schema_version'"));
        q.addBindValue(QString::number(m.Version));
        if (!q.exec())
            return fail();
    }
    q.finish();
    const TArchiveError committed = archive.Commit();
    unlock();
    return committed;
}

} // namespace lum1
