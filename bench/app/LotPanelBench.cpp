// The lot panel in the main window with a full archive (2500 records): what a change of the
// selection costs (statistics, acceptance marks, texts), with the panel shown; with the argument
// 1, also with a correlation to cores applied (its check against the lot, the corrected values).
#include "LotRecords.h"

#include "app/AcceptanceFeatures.h"
#include "app/LotFeatures.h"
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "results/ResultsTable.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <map>

using namespace lum1;

namespace {

// Opens the archive through the file dialog's answer; every message is answered Ok.
class BenchDialogs : public IDialogs {
public:
    QString file;
    MsgResult Message(const MessageRequest&) override { return MsgResult::Ok; }
    std::optional<QString> OpenFileName(const FileDialogRequest&) override { return file; }
    std::optional<QString> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }
};

void SelectionChange2500(benchmark::State& state) {
    QTemporaryDir dir;
    QFile ini(dir.filePath(QStringLiteral("lum1.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Config]\r\nLangId=Rus\r\n[LotStatistics]\r\nVisible=1\r\n");
    ini.close();
    const auto store = bench::FullArchive();
    QFile archive(dir.filePath(QStringLiteral("archive.lum1")));
    archive.open(QIODevice::WriteOnly);
    archive.write(reinterpret_cast<const char*>(store->Records.data()),
                  static_cast<qint64>(MaxRecords) * RecordSize);
    archive.close();

    Program program(dir.path(), dir.filePath(QStringLiteral("lum1.ini")),
                    dir.filePath(QStringLiteral("events")));
    BenchDialogs dialogs;
    dialogs.file = archive.fileName();
    TForm1::Hooks hooks;
    hooks.endProcess = [](int) {};
    TForm1 form(program, dialogs, hooks);
    form.AOpenExecute();
    TLotFeatures* lot = form.LotFeatures();
    if (state.range(0) == 1) {
        // Eight pairs on records whose number occurs once, cores 15 kg/m3 above the gauge.
        const std::vector<TLotRecord> shown = form.AcceptanceFeatures()->ShownLot();
        std::map<qint64, int> count;
        for (const TLotRecord& r : shown)
            ++count[r.Key];
        std::vector<TCorePair> pairs;
        for (const TLotRecord& r : shown)
            if (pairs.size() < 8 && count[r.Key] == 1 && std::isfinite(GaugeDensity(r.Record)))
                pairs.push_back(
                    {r.Key, GaugeDensity(r.Record) + 15.0 + static_cast<double>(pairs.size() % 3)});
        const TCorrelationFit fit = FitCorrelation(shown, pairs, TCorrelationKind::Offset);
        if (!fit.Ok()) {
            state.SkipWithError("the pairs do not fit");
            return;
        }
        form.AcceptanceFeatures()->SetCorrelation(KeepCorrelation(fit, {}, {}, {}));
        if (!lot->Statistics().Corrected) {
            state.SkipWithError("the correlation is not applied");
            return;
        }
    }
    QItemSelectionModel* selection = form.StringGrid1->selectionModel();
    int last = 1;
    for (auto _ : state) {
        // A growing block, as a drag with the mouse makes it.
        selection->select(
            QItemSelection(form.Table().index(0, 0), form.Table().index(last, ResultColumns - 1)),
            QItemSelectionModel::ClearAndSelect);
        lot->Recompute();
        last = last % (MaxRecords - 1) + 1;
        benchmark::DoNotOptimize(lot->Statistics().Total);
    }
    state.counters["table"] = form.Table().rowCount();
}
BENCHMARK(SelectionChange2500)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
