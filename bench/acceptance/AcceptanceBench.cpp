// Lot acceptance of a full archive (2500 records): the correlation to 2500 cores with its outlier
// test, the PWL, the whole verdict, and the acceptance report prepared and written as a PDF.
#include "acceptance/Correlation.h"
#include "acceptance/LotAcceptance.h"
#include "lang/ExtraTexts.h"
#include "lang/MessageTable.h"
#include "report/AcceptanceReport.h"
#include "report/PdfExport.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lum1;

namespace {

// A lot of 2500 measurements: densities scattered around 2352 of a reference 2400, every 97th
// deleted, every 50th a mode-2 reading.
std::vector<TLotRecord> FullLot() {
    std::vector<TLotRecord> lot;
    for (int i = 0; i < MaxRecords; ++i) {
        TMeasRecord r{};
        r.Number = static_cast<uint16_t>(i + 1);
        r.Seconds = i % 97 == 0 ? DeletedMark : static_cast<uint8_t>(i % 60);
        r.Minutes = static_cast<uint8_t>(i % 60);
        r.Hours = static_cast<uint8_t>(8 + i / 300);
        r.Day = 14;
        r.Month = 6;
        r.Year = 25;
        r.Density = 2352.0f + 12.0f * static_cast<float>(std::sin(i * 0.7)) + static_cast<float>(i % 7);
        r.RefDensity = 2400.0f;
        r.Mode = i % 50 == 0 ? 2 : 0;
        r.Thickness = 50;
        r.AverNum = 3;
        lot.push_back({r.Number, r});
    }
    return lot;
}

// A core for every record: the gauge reads 20 kg/m3 low, with a spread of a few kg/m3.
std::vector<TCorePair> Cores(const std::vector<TLotRecord>& lot) {
    std::vector<TCorePair> pairs;
    for (size_t i = 0; i < lot.size(); ++i)
        if (!std::isnan(GaugeDensity(lot[i].Record)))
            pairs.push_back({lot[i].Key, lot[i].Record.Density * 1.002 + 15.0 + 3.0 * std::cos(i * 1.3)});
    return pairs;
}

TAcceptanceLimits PwlLimits() {
    TAcceptanceLimits limits;
    limits.Rule = TAcceptanceRule::Pwl;
    limits.Lower = 0.975;
    limits.Upper = 1.02;
    return limits;
}

void CorrelationAndPwl(benchmark::State& state) {
    const auto lot = FullLot();
    const auto pairs = Cores(lot);
    std::vector<double> values;
    for (const TLotRecord& r : lot)
        if (!std::isnan(GaugeDensity(r.Record)))
            values.push_back(r.Record.Density / 2400.0);
    for (auto _ : state) {
        const TCorrelationFit fit = FitCorrelation(lot, pairs, TCorrelationKind::Line);
        const auto pwl = EstimatePwl(values, 0.975, 1.02);
        benchmark::DoNotOptimize(fit.Slope);
        benchmark::DoNotOptimize(pwl->Pwl);
    }
    state.counters["pairs"] = static_cast<double>(pairs.size());
}
BENCHMARK(CorrelationAndPwl)->Unit(benchmark::kMillisecond);

// The whole verdict: corrected values, printed rounding, marks, statistics and the PWL.
void JudgeFullLot(benchmark::State& state) {
    const auto lot = FullLot();
    TCorrection line;
    line.Kind = TCorrelationKind::Line;
    line.Slope = 1.002;
    line.Intercept = 15;
    for (auto _ : state)
        benchmark::DoNotOptimize(JudgeLot(lot, line, PwlLimits()).Verdict);
}
BENCHMARK(JudgeFullLot)->Unit(benchmark::kMillisecond);

void ReportPrepareAndPdf(benchmark::State& state) {
    TAcceptanceReportInput input;
    input.Records = FullLot();
    input.Limits = PwlLimits();
    input.Correction =
        FitCorrelation(input.Records, Cores(input.Records), TCorrelationKind::Line).Correction();
    input.Header.Organisation = QStringLiteral("Дорожная лаборатория № 3");
    input.Header.Lot = QStringLiteral("Участок км 14+000 – 16+500");
    QImage logo(600, 300, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    input.Logo = logo;
    TAcceptanceTexts texts;
    texts.Documented = [](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? row->russian.trimmed().toString() : QString();
    };
    texts.Extra = [](const QString& key) { return BuiltInExtraText(key, false); };
    texts.EnglishUI = false;
    texts.Separator = u',';
    qsizetype bytes = 0;
    size_t pages = 0;
    for (auto _ : state) {
        TAcceptanceReport report;
        report.Prepare(input, texts);
        const QByteArray pdf = ExportPdf(report.Prepared(), report.frxReport1.DocumentInfo);
        bytes = pdf.size();
        pages = report.Prepared().Pages.size();
        benchmark::DoNotOptimize(pdf.constData());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(ReportPrepareAndPdf)->Unit(benchmark::kMillisecond);

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
