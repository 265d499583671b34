#pragma once
// What the archive's tests share: records that differ in what the queries look at, results
// files, and the check that an archive holds whole arrivals only.

#include "RecordFixture.h"

#include "archive/Archive.h"
#include "archive/ArchiveImport.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QTextStream>
#include <QVariant>

#include <gtest/gtest.h>

#include <vector>

namespace lum1::test {

// Runs a script of statements, one per line ("--" lines are comments), on a new SQLite file:
// the frozen archives of earlier schema versions.
inline void RunSqlScript(const QString& script, const QString& path) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "script");
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly | QIODevice::Text)) << script.toStdString();
        QTextStream in(&f);
        QSqlQuery q(db);
        while (!in.atEnd()) {
            const QString line = in.readLine().trimmed();
            if (line.isEmpty() || line.startsWith("--"))
                continue;
            ASSERT_TRUE(q.exec(line)) << q.lastError().text().toStdString() << ": " << line.toStdString();
        }
    }
    QSqlDatabase::removeDatabase("script");
}

inline TArchiveConnection SqliteAt(const QString& path, int timeoutMs = 3000) {
    TArchiveConnection c;
    c.SqlitePath = path;
    c.TimeoutMs = timeoutMs;
    return c;
}

// count records numbered first, first + 1, ...: one a minute from 08:00 on 1 June 2024, on
// three objects and two materials, densities spread around 2350.
inline std::vector<TMeasRecord> MakeRecords(int count, int first = 1) {
    std::vector<TMeasRecord> records;
    for (int i = 0; i < count; ++i) {
        const int n = first + i;
        TMeasRecord r = SampleRecord(static_cast<uint16_t>(n));
        r.Year = 24;
        r.Month = 6;
        r.Day = static_cast<uint8_t>(1 + (n / (24 * 60)) % 28);
        r.Hours = static_cast<uint8_t>((n / 60) % 24);
        r.Minutes = static_cast<uint8_t>(n % 60);
        r.Seconds = static_cast<uint8_t>((n * 7) % 60);
        SetShortText(r.ObjectName, QStringLiteral("Road %1").arg(n % 3));
        SetShortText(r.MaterialName, n % 2 ? QStringLiteral("Mix A") : QStringLiteral("Смесь Б"));
        r.Density = 2300.0f + static_cast<float>((n * 37) % 100);
        // The bytes after a short text are kept as they come; make them differ as a gauge's do.
        r.Reserved1[0] = static_cast<uint8_t>(n >> 16);
        r.Reserved3[0] = static_cast<uint8_t>(n & 0xFF);
        r.Reserved3[1] = static_cast<uint8_t>((n >> 8) & 0xFF);
        records.push_back(r);
    }
    return records;
}

inline QByteArray FileBytes(const std::vector<TMeasRecord>& records) {
    QByteArray bytes;
    for (const TMeasRecord& r : records)
        bytes += RecordBytes(r);
    return bytes;
}

inline qint64 ScalarOf(TArchive& archive, const QString& sql) {
    QSqlQuery q(archive.Database());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toLongLong();
}

// Every arrival holds exactly the records it says it brought new, every record came with an
// arrival that is there, and no record is kept twice.
inline void ExpectWholeArrivals(TArchive& archive) {
    EXPECT_EQ(ScalarOf(archive, "SELECT count(*) FROM arrival a WHERE a.new_records <>"
                                " (SELECT count(*) FROM measurement m WHERE m.arrival_id = a.id)"),
              0);
    EXPECT_EQ(ScalarOf(archive, "SELECT count(*) FROM measurement m WHERE NOT EXISTS"
                                " (SELECT 1 FROM arrival a WHERE a.id = m.arrival_id)"),
              0);
    EXPECT_EQ(ScalarOf(archive, "SELECT count(*) FROM arrival WHERE records <> new_records + known_records"),
              0);
    EXPECT_EQ(ScalarOf(archive, "SELECT count(*) FROM measurement"),
              ScalarOf(archive, "SELECT count(DISTINCT bytes) FROM measurement"));
}

} // namespace lum1::test
