// Lot statistics of a full archive: the computation the panel runs at every change of the
// selection, and with the texts the panel and the clipboard show.
#include "LotRecords.h"

#include "lang/ExtraTexts.h"
#include "lang/MessageTable.h"
#include "stats/LotStatistics.h"

#include <benchmark/benchmark.h>

using namespace lum1;

namespace {

void Statistics2500(benchmark::State& state) {
    const auto store = bench::FullArchive();
    const std::vector<int> all = bench::AllRecords();
    for (auto _ : state) {
        const TLotStatistics s = ComputeLotStatistics(*store, all);
        benchmark::DoNotOptimize(s.Below);
    }
}
BENCHMARK(Statistics2500)->Unit(benchmark::kMillisecond);

void StatisticsWithTexts2500(benchmark::State& state) {
    const auto store = bench::FullArchive();
    const std::vector<int> all = bench::AllRecords();
    const TLotLabels labels = LotLabels([](const QString& key) { return BuiltInExtraText(key, false); },
                                        [](const QString& key) {
                                            const MessageRow* row = FindMessageRow(key);
                                            return row ? row->russian.toString() : QString();
                                        });
    for (auto _ : state) {
        const TLotStatistics s = ComputeLotStatistics(*store, all);
        const QString text = LotStatisticsClipboardText(s, labels, u',');
        benchmark::DoNotOptimize(text.size());
    }
}
BENCHMARK(StatisticsWithTexts2500)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
