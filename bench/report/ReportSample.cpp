// Writes the measurement report of sample rows as a PDF file, or a picture of its preview
// window: the documentation's pictures of the report are made from these.
//   report_pictures <ru|en> <records> <file.pdf|file.png>
#include "SampleRows.h"

#include "report/ExportFile.h"
#include "report/PdfExport.h"
#include "report/ReportPreview.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

using namespace lum1;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: report_pictures <ru|en> <records> <file.pdf|file.png>\n");
        return 2;
    }
    const bool english = QByteArray(argv[1]) == "en";
    const QString out = QString::fromLocal8Bit(argv[3]);
    const std::vector<TRowTexts> rows = sample::Rows(QByteArray(argv[2]).toInt(), english);
    const TReportGrid grid = sample::Grid(rows);
    TMeasurementReport report;
    report.ShowReport = [](TfrxReport&) {};
    TReportEnvironment env;
    env.GetLangMessage = sample::Lookup(english);
    env.ApplicationTitle = env.GetLangMessage(QStringLiteral("Title"));
    env.EnglishUI = english;
    report.APrintExecute(static_cast<int>(rows.size()), grid, env);

    if (out.endsWith(QStringLiteral(".png"))) {
        TReportPreview preview(report.frxReport1);
        preview.resize(1200, 800);
        preview.show();
        QTimer::singleShot(300, &app, &QCoreApplication::quit);
        app.exec();
        return preview.grab().save(out) ? 0 : 1;
    }
    const QString error =
        WriteExportFile(out, ExportPdf(report.frxReport1.PreparedPages(), report.frxReport1.DocumentInfo));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
