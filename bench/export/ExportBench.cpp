// Excel and map exports of a full archive (2500 records), to the bytes of the file.
#include "LotRecords.h"

#include "export/MapExport.h"
#include "export/XlsxExport.h"
#include "lang/ExtraTexts.h"
#include "lang/MessageTable.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace lum1;

namespace {

TExportTexts Texts() {
    TExportTexts t;
    t.Documented = [](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? row->russian.trimmed().toString() : QString();
    };
    t.Extra = [](const QString& key) { return BuiltInExtraText(key, false); };
    t.Record = TRecordTextContext::Fetch(t.Documented, false, u',');
    return t;
}

void Xlsx2500(benchmark::State& state) {
    const auto store = bench::FullArchive();
    const std::vector<int> all = bench::AllRecords();
    const TExportTexts texts = Texts();
    qsizetype bytes = 0;
    for (auto _ : state) {
        const TLotStatistics s = ComputeLotStatistics(*store, all);
        QString error;
        const auto book = BuildXlsx(*store, all, texts, s, LotLabels(texts.Extra, texts.Documented), &error);
        bytes = book ? book->size() : 0;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(Xlsx2500)->Unit(benchmark::kMillisecond);

void Kml2500(benchmark::State& state) {
    const auto store = bench::FullArchive();
    const std::vector<int> all = bench::AllRecords();
    const TExportTexts texts = Texts();
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportKml(*store, all, texts).Bytes.size());
}
BENCHMARK(Kml2500)->Unit(benchmark::kMillisecond);

void GeoJson2500(benchmark::State& state) {
    const auto store = bench::FullArchive();
    const std::vector<int> all = bench::AllRecords();
    const TExportTexts texts = Texts();
    for (auto _ : state)
        benchmark::DoNotOptimize(ExportGeoJson(*store, all, texts).Bytes.size());
}
BENCHMARK(GeoJson2500)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
