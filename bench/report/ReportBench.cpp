// The measurement report of a full archive (2500 records): preparing it, writing it as a PDF
// file, and opening its preview window until the first page is shown.
#include "SampleRows.h"

#include "report/PdfExport.h"
#include "report/ReportPreview.h"

#include <QApplication>
#include <QPrintPreviewWidget>

#include <benchmark/benchmark.h>

using namespace lum1;

namespace {

struct TFullReport {
    std::vector<TRowTexts> rows = sample::Rows(MaxRecords, false);
    TReportGrid grid = sample::Grid(rows);
    TMeasurementReport report;
    TReportEnvironment environment;

    TFullReport() {
        report.ShowReport = [](TfrxReport&) {};
        environment.GetLangMessage = sample::Lookup(false);
        environment.ApplicationTitle = environment.GetLangMessage(QStringLiteral("Title"));
    }
    void Prepare() { report.APrintExecute(MaxRecords, grid, environment); }
};

void Prepare(benchmark::State& state) {
    TFullReport r;
    for (auto _ : state) {
        r.Prepare();
        benchmark::DoNotOptimize(r.report.frxReport1.PreparedPages().Pages.size());
    }
    state.counters["pages"] = static_cast<double>(r.report.frxReport1.PreparedPages().Pages.size());
}
BENCHMARK(Prepare)->Unit(benchmark::kMillisecond);

void PrepareAndPdf(benchmark::State& state) {
    TFullReport r;
    qsizetype bytes = 0;
    for (auto _ : state) {
        r.Prepare();
        const QByteArray pdf =
            ExportPdf(r.report.frxReport1.PreparedPages(), r.report.frxReport1.DocumentInfo);
        bytes = pdf.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(PrepareAndPdf)->Unit(benchmark::kMillisecond);

// From the prepared report to the preview window on the screen with its first page drawn.
void PreviewFirstPage(benchmark::State& state) {
    TFullReport r;
    r.Prepare();
    for (auto _ : state) {
        TReportPreview preview(r.report.frxReport1);
        preview.show();
        QCoreApplication::processEvents();
        const QPixmap shown = preview.View()->grab();
        benchmark::DoNotOptimize(shown.cacheKey());
    }
}
BENCHMARK(PreviewFirstPage)->Unit(benchmark::kMillisecond);

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
