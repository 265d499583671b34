// The measurement archive: a season of overlapping downloads imported, a filter over a
// million records, a lot for the main table, the bytes a record costs, and the same import
// into PostgreSQL over its Unix socket (a server of the benchmark's own, when installed).
#include "archive/Archive.h"
#include "archive/ArchiveImport.h"
#include "archive/ArchiveLots.h"
#include "archive/ArchiveQuery.h"
#include "platform/Cp1251.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstring>

using namespace lum1;

namespace {

void SetText(uint8_t (&field)[22], const QString& text) {
    const QByteArray bytes = EncodeCp1251(text);
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<uint8_t>(std::min<qsizetype>(bytes.size(), 21));
    std::memcpy(field + 1, bytes.constData(), field[0]);
}

// Record n of a season: one every few minutes from 2019 on, 300 objects, 8 mixes.
TMeasRecord SeasonRecord(qint64 n) {
    TMeasRecord r{};
    r.Number = static_cast<uint16_t>(n);
    const qint64 minutes = n * 3;
    r.Minutes = static_cast<uint8_t>(minutes % 60);
    r.Hours = static_cast<uint8_t>(6 + (minutes / 60) % 12);
    const qint64 day = minutes / 720;
    r.Day = static_cast<uint8_t>(1 + day % 28);
    r.Month = static_cast<uint8_t>(1 + (day / 28) % 12);
    r.Year = static_cast<uint8_t>(19 + day / (28 * 12));
    r.Seconds = static_cast<uint8_t>(n % 97 == 0 ? 170 : n % 60);
    SetText(r.ObjectName, QStringLiteral("Site %1").arg(n % 300, 3, 10, QLatin1Char('0')));
    SetText(r.MaterialName, QStringLiteral("ЩМА-%1").arg(n % 8));
    r.Density = 2250.0f + static_cast<float>(n % 211);
    r.RefDensity = 2400.0f;
    r.Temperature = 80.0f + static_cast<float>(n % 90) / 2.0f;
    r.Latitude = (5540 << 16) + static_cast<int32_t>(n % 65536);
    r.Longitude = (3730 << 16) + static_cast<int32_t>((n * 7) % 65536);
    r.Thickness = 50;
    r.AverNum = 3;
    std::memcpy(r.Reserved1, &n, sizeof n); // a gauge's own bytes: every record is another
    return r;
}

// 100 downloads of a full gauge (2500 records), each 90 % the same as the one before.
constexpr int Files = 100, FileRecords = 2500, Step = 250;
constexpr int Distinct = (Files - 1) * Step + FileRecords;

QStringList WriteSeasonFiles(const QString& folder) {
    QStringList files;
    for (int k = 0; k < Files; ++k) {
        QByteArray bytes;
        for (int i = 0; i < FileRecords; ++i) {
            const TMeasRecord r = SeasonRecord(k * Step + i);
            bytes.append(reinterpret_cast<const char*>(&r), RecordSize);
        }
        const QString name = QStringLiteral("%1/%2.lum1").arg(folder).arg(k, 3, 10, QLatin1Char('0'));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        files << name;
    }
    return files;
}

void Import(benchmark::State& state, const TArchiveConnection& connection, const QStringList& files) {
    TArchive archive;
    if (TArchiveError e = archive.Open(connection)) {
        state.SkipWithError(e.Detail.toStdString().c_str());
        return;
    }
    const TImportSummary summary = ArchiveFiles(archive, files);
    if (summary.Error || summary.New != Distinct)
        state.SkipWithError("the import failed or kept a wrong count");
    state.counters["records"] = summary.Records;
    state.counters["new"] = summary.New;
}

// 100 files of 2500 records with 90 % overlap into a new SQLite archive; the archive's size
// per record once closed.
void ImportSeasonSqlite(benchmark::State& state) {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("files"));
    const QStringList files = WriteSeasonFiles(dir.filePath("files"));
    const QString path = dir.filePath("archive.sqlite");
    TArchiveConnection c;
    c.SqlitePath = path;
    for (auto _ : state) {
        state.PauseTiming();
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        state.ResumeTiming();
        Import(state, c, files);
    }
    state.counters["bytes_per_record"] = static_cast<double>(QFileInfo(path).size()) / Distinct;
}
BENCHMARK(ImportSeasonSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

// A million records, made once per build folder (it takes a while) and then reused.
class Million {
public:
    static Million& Get() {
        static Million m;
        return m;
    }
    TArchive Archive;
    qint64 Lot = 0;
    double BytesPerRecord = 0;
    QString Error;

private:
    static constexpr qint64 Count = 1'000'000;
    Million() {
        const QString path = QCoreApplication::applicationDirPath() + "/million.sqlite";
        TArchiveConnection c;
        c.SqlitePath = path;
        bool made = QFileInfo::exists(path);
        if (TArchiveError e = Archive.Open(c)) {
            Error = e.Detail;
            return;
        }
        if (made && CountRecords(Archive, {}).Total != Count) {
            Archive.Close();
            QFile::remove(path);
            Archive.Open(c);
            made = false;
        }
        if (!made) {
            std::vector<TMeasRecord> chunk;
            for (qint64 from = 0; from < Count; from += 10000) {
                chunk.clear();
                for (qint64 n = from; n < from + 10000; ++n)
                    chunk.push_back(SeasonRecord(n));
                if (!ArchiveRecordsOfFile(Archive, chunk, QStringLiteral("season.lum1")).Ok()) {
                    Error = QStringLiteral("cannot make the million");
                    return;
                }
            }
            // The lot: 2500 records of one object.
            TLot lot;
            lot.Name = "Site 017, wearing course";
            const qint64 id = CreateLot(Archive, lot).Id;
            TArchiveFilter f;
            f.Object = "Site 017";
            std::vector<qint64> ids;
            for (const TArchiveRow& row : FetchRecords(Archive, f, {}, 0, 2500))
                ids.push_back(row.Id);
            AssignToLot(Archive, ids, id);
            QSqlQuery(Archive.Database()).exec("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        Lot = FindLotByName(Archive, "Site 017, wearing course")->Id;
        BytesPerRecord = static_cast<double>(QFileInfo(path).size()) / Count;
    }
};

TArchiveFilter ObjectAndMonth() {
    TArchiveFilter f;
    f.Object = "site 017";
    f.From = QDate(2020, 6, 1);
    f.To = QDate(2020, 6, 30);
    return f;
}

// What the archive window shows first: the first rows of a filter on an object and a month.
void FilterFirstRowsOfAMillion(benchmark::State& state) {
    Million& m = Million::Get();
    if (!m.Error.isEmpty()) {
        state.SkipWithError(m.Error.toStdString().c_str());
        return;
    }
    size_t rows = 0;
    for (auto _ : state) {
        rows = FetchRecords(m.Archive, ObjectAndMonth(), {}, 0, 100).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["bytes_per_record"] = m.BytesPerRecord;
}
BENCHMARK(FilterFirstRowsOfAMillion)->Unit(benchmark::kMillisecond);

// ... with its counts, as the window shows them beside the rows.
void FilterCountsAndFirstRowsOfAMillion(benchmark::State& state) {
    Million& m = Million::Get();
    if (!m.Error.isEmpty()) {
        state.SkipWithError(m.Error.toStdString().c_str());
        return;
    }
    qint64 shown = 0;
    for (auto _ : state) {
        shown = CountRecords(m.Archive, ObjectAndMonth()).Shown;
        benchmark::DoNotOptimize(FetchRecords(m.Archive, ObjectAndMonth(), {}, 0, 100).size());
    }
    state.counters["shown"] = static_cast<double>(shown);
}
BENCHMARK(FilterCountsAndFirstRowsOfAMillion)->Unit(benchmark::kMillisecond);

// The first rows of the whole million sorted by a column without an index (density).
void SortAMillionByDensity(benchmark::State& state) {
    Million& m = Million::Get();
    if (!m.Error.isEmpty()) {
        state.SkipWithError(m.Error.toStdString().c_str());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(FetchRecords(m.Archive, {}, {2, true}, 0, 100).size());
}
BENCHMARK(SortAMillionByDensity)->Unit(benchmark::kMillisecond);

// A 2500-record lot's records, as "Show in the main table" takes them.
void LotOf2500FromAMillion(benchmark::State& state) {
    Million& m = Million::Get();
    if (!m.Error.isEmpty()) {
        state.SkipWithError(m.Error.toStdString().c_str());
        return;
    }
    size_t rows = 0;
    for (auto _ : state) {
        rows = LotRecords(m.Archive, m.Lot).size();
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(LotOf2500FromAMillion)->Unit(benchmark::kMillisecond);

// The same import into PostgreSQL over its Unix socket, on a server started for it.
void ImportSeasonPostgres(benchmark::State& state) {
    QTemporaryDir dir;
    const QString stateFile = dir.filePath("pg.env");
    if (QProcess::execute(QStringLiteral(LUM1_PG_SERVER), {"start", stateFile}) != 0) {
        state.SkipWithError("no PostgreSQL server could be started (postgresql not installed?)");
        return;
    }
    QDir().mkpath(dir.filePath("files"));
    const QStringList files = WriteSeasonFiles(dir.filePath("files"));
    TArchiveConnection c;
    c.Engine = TArchiveEngine::PostgreSQL;
    QFile env(stateFile);
    env.open(QIODevice::ReadOnly);
    for (const QByteArray& line : env.readAll().split('\n')) {
        if (line.startsWith("PGHOST="))
            c.Host = QString::fromUtf8(line.mid(7));
        else if (line.startsWith("PGUSER="))
            c.User = QString::fromUtf8(line.mid(7));
    }
    c.Database = "postgres";
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        {
            TArchive admin;
            admin.Open(c);
            QSqlQuery(admin.Database()).exec(QStringLiteral("CREATE DATABASE season%1").arg(++round));
        }
        TArchiveConnection target = c;
        target.Database = QStringLiteral("season%1").arg(round);
        state.ResumeTiming();
        Import(state, target, files);
    }
    QProcess::execute(QStringLiteral(LUM1_PG_SERVER), {"stop", stateFile});
}
BENCHMARK(ImportSeasonPostgres)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
