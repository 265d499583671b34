// A full gauge archive (2500 records) from a file into the table, and the copy of all of it.
#include "lang/MessageTable.h"
#include "platform/Cp1251.h"
#include "results/ResultsFiles.h"
#include "results/ResultsTable.h"

#include <QFile>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <numeric>

using namespace lum1;

namespace {

LangLookup Lookup() {
    return [](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? row->russian.trimmed().toString() : QString();
    };
}

void SetText(uint8_t (&field)[22], const QString& text) {
    const QByteArray b = EncodeCp1251(text);
    field[0] = static_cast<uint8_t>(b.size());
    std::memcpy(field + 1, b.constData(), static_cast<size_t>(b.size()));
}

// Realistic records: positions, Cyrillic names, reference densities, some deleted.
QString ArchiveFile() {
    static QTemporaryFile file;
    if (file.isOpen())
        return file.fileName();
    file.open();
    for (int i = 0; i < MaxRecords; ++i) {
        TMeasRecord r{};
        r.Number = static_cast<uint16_t>(i + 1);
        r.Hours = static_cast<uint8_t>(i % 24);
        r.Minutes = static_cast<uint8_t>(i % 60);
        r.Seconds = i % 97 == 0 ? DeletedMark : static_cast<uint8_t>(i % 60);
        r.Day = static_cast<uint8_t>(1 + i % 28);
        r.Month = static_cast<uint8_t>(1 + i % 12);
        r.Year = 24;
        SetText(r.ObjectName, QStringLiteral("Трасса М-4, км %1").arg(i % 700));
        SetText(r.MaterialName, QStringLiteral("А16Вн ЩМА"));
        r.Density = 2300.0f + static_cast<float>(i % 100) * 0.73f;
        r.RefDensity = i % 5 == 0 ? 0.0f : 2400.0f;
        r.Mode = i % 50 == 0 ? 2 : 0;
        r.Latitude = (5509 << 16) | (i * 37 % 65536);
        r.Longitude = -((3730 << 16) | (i * 91 % 65536));
        r.Temperature = 120.25f - static_cast<float>(i % 90);
        r.Thickness = 40;
        r.AverNum = 3;
        file.write(reinterpret_cast<const char*>(&r), RecordSize);
    }
    file.flush();
    return file.fileName();
}

void LoadAndFill(benchmark::State& state) {
    const QString path = ArchiveFile();
    auto store = std::make_unique<TRecordStore>();
    TResultsTable table;
    const LangLookup lookup = Lookup();
    const bool yieldEachRow = state.range(0) != 0;
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        ReadRecords(f, *store);
        table.DataClear(lookup);
        const TRecordTextContext ctx = TRecordTextContext::Fetch(lookup, false, u',');
        table.FillDataTable(0, *store, ctx,
                            yieldEachRow ? std::function<void()>([] {}) : std::function<void()>());
        benchmark::DoNotOptimize(table.GridRowCount());
    }
}
BENCHMARK(LoadAndFill)->Arg(0)->Arg(1)->ArgName("yield")->Unit(benchmark::kMillisecond);

void CopyAll(benchmark::State& state) {
    auto store = std::make_unique<TRecordStore>();
    QFile f(ArchiveFile());
    f.open(QIODevice::ReadOnly);
    ReadRecords(f, *store);
    TResultsTable table;
    table.DataClear(Lookup());
    table.FillDataTable(0, *store, TRecordTextContext::Fetch(Lookup(), false, u','));
    std::vector<int> rows(static_cast<size_t>(table.GridRowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    const std::vector<int> columns{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (auto _ : state)
        benchmark::DoNotOptimize(table.CopyText(rows, columns));
}
BENCHMARK(CopyAll)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
