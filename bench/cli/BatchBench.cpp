// "lum1 --export FORMAT archive.lum1 OUT" of a full archive (2500 records), end to end: the
// process starts without a display, reads the file, makes the export, writes it and ends.
#include "LotRecords.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace lum1;

namespace {

void Export(benchmark::State& state, const char* format) {
    QTemporaryDir dir;
    const auto store = bench::FullArchive();
    const QString input = dir.filePath(QStringLiteral("archive.lum1"));
    QFile file(input);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(store->Records.data()),
               static_cast<qint64>(MaxRecords) * RecordSize);
    file.close();
    const QString output = dir.filePath(QStringLiteral("out.") + QString::fromLatin1(format));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    for (auto _ : state) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(LUM1_PROGRAM), {QStringLiteral("--export"), QString::fromLatin1(format), input,
                                               output, QStringLiteral("--lang"), QStringLiteral("rus")});
        p.waitForFinished(60000);
        if (p.exitCode() != 0)
            state.SkipWithError("the export failed");
    }
    state.counters["bytes"] = static_cast<double>(QFile(output).size());
}

void Pdf2500(benchmark::State& state) {
    Export(state, "pdf");
}
BENCHMARK(Pdf2500)->Unit(benchmark::kMillisecond)->UseRealTime();

void Xlsx2500(benchmark::State& state) {
    Export(state, "xlsx");
}
BENCHMARK(Xlsx2500)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
