// Writes the acceptance report of a sample lot as a PDF file: 24 points of a top layer, six cores
// fitted by a line, judged by PWL; one point low. The documentation's pictures are its pages
// (pdftoppm -r 96).
//   acceptance_sample <ru|en> <file.pdf>
#include "acceptance/Correlation.h"
#include "lang/ExtraTexts.h"
#include "lang/MessageTable.h"
#include "platform/Cp1251.h"
#include "platform/ExportFile.h"
#include "report/AcceptanceReport.h"
#include "report/PdfExport.h"

#include <QApplication>
#include <QPainter>

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace lum1;

namespace {

void SetText(uint8_t (&field)[22], const QString& text) {
    const QByteArray bytes = EncodeCp1251(text).left(21);
    std::memset(field, 0, sizeof field);
    field[0] = static_cast<uint8_t>(bytes.size());
    std::memcpy(field + 1, bytes.constData(), static_cast<size_t>(bytes.size()));
}

// A plain drawn emblem in place of a laboratory's logo.
QImage Logo() {
    QImage image(480, 240, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(20, 70, 150));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(10, 10, 460, 220), 30, 30);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(120);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(10, 10, 460, 220), Qt::AlignCenter, QStringLiteral("RL 3"));
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: acceptance_sample <ru|en> <file.pdf>\n");
        return 2;
    }
    const bool english = QByteArray(argv[1]) == "en";

    TAcceptanceReportInput input;
    for (int i = 0; i < 24; ++i) {
        TMeasRecord r{};
        r.Number = static_cast<uint16_t>(412 + i);
        r.Hours = static_cast<uint8_t>(9 + i / 8);
        r.Minutes = static_cast<uint8_t>(i % 8 * 7);
        r.Seconds = static_cast<uint8_t>(i * 13 % 60);
        r.Day = 14;
        r.Month = 6;
        r.Year = 25;
        SetText(r.ObjectName, english ? QStringLiteral("R-21, km 14") : QStringLiteral("Р-21, км 14"));
        SetText(r.MaterialName, english ? QStringLiteral("SMA 16, PMB") : QStringLiteral("ЩМА-16 ПБВ"));
        r.Density = static_cast<float>(i == 9 ? 2318.0 : 2338.0 + 9.0 * std::sin(i * 1.7) + (i % 3) * 2.0);
        r.RefDensity = 2410.0f;
        r.Temperature = 128.5f;
        r.Thickness = 50;
        r.AverNum = 3;
        input.Records.push_back({r.Number, r});
    }
    std::vector<TCorePair> cores;
    for (int i : {1, 5, 9, 13, 17, 21}) {
        const double gauge = input.Records[static_cast<size_t>(i)].Record.Density;
        cores.push_back({input.Records[static_cast<size_t>(i)].Key, 1.03 * gauge - 52.0 + 3.0 * std::cos(i)});
    }
    const TCorrelationFit fit = FitCorrelation(input.Records, cores, TCorrelationKind::Line);
    if (!fit.Ok()) {
        std::fprintf(stderr, "the sample correlation was refused\n");
        return 1;
    }
    input.Correction = fit.Correction();
    input.Limits.Rule = TAcceptanceRule::Pwl;
    input.Limits.Lower = 0.97;
    input.Limits.Upper = 1.01;
    input.Limits.PwlThreshold = 90;
    TAcceptanceHeader& h = input.Header;
    h.Organisation = english ? QStringLiteral("Road Laboratory No. 3, Regional Highway Department")
                             : QStringLiteral("Дорожная лаборатория № 3 ГКУ «Управление автодорог»");
    h.Project = english ? QStringLiteral("Contract 17/2025: reconstruction of R-21")
                        : QStringLiteral("Контракт 17/2025: реконструкция Р-21");
    h.Lot = english ? QStringLiteral("km 14+000 – 14+600, right lane")
                    : QStringLiteral("км 14+000 – 14+600, правая полоса");
    h.Layer = english ? QStringLiteral("Top layer, 50 mm") : QStringLiteral("Верхний слой, 50 мм");
    h.Gauge = english ? QStringLiteral("LUM-1 No. 0412") : QStringLiteral("ЛУМ-1 № 0412");
    h.Operator = english ? QStringLiteral("I. Petrov") : QStringLiteral("И. П. Петров");
    input.Logo = Logo();

    TAcceptanceTexts texts;
    texts.Documented = [english](const QString& key) {
        const MessageRow* row = FindMessageRow(key);
        return row ? (english ? row->english : row->russian).trimmed().toString() : QString();
    };
    texts.Extra = [english](const QString& key) { return BuiltInExtraText(key, english); };
    texts.EnglishUI = english;
    texts.Separator = english ? u'.' : u',';
    texts.ApplicationTitle = texts.Documented(QStringLiteral("Title"));
    TAcceptanceReport report;
    QString refusal;
    if (!report.Prepare(input, texts, &refusal)) {
        std::fprintf(stderr, "%s\n", qPrintable(refusal));
        return 1;
    }
    const QString error = WriteExportFile(QString::fromLocal8Bit(argv[2]),
                                          ExportPdf(report.Prepared(), report.frxReport1.DocumentInfo));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
