// Writes the measurement report of sample rows as a PDF file: the pictures of the report in the
// documentation are made from it (pdftoppm).
//   report_pictures <ru|en> <records> <file.pdf>
#include "SampleRows.h"

#include "report/ExportFile.h"
#include "report/PdfExport.h"

#include <QGuiApplication>

#include <cstdio>

using namespace lum1;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: report_pictures <ru|en> <records> <file.pdf>\n");
        return 2;
    }
    const bool english = QByteArray(argv[1]) == "en";
    const std::vector<TRowTexts> rows = sample::Rows(QByteArray(argv[2]).toInt(), english);
    const TReportGrid grid = sample::Grid(rows);
    TMeasurementReport report;
    report.ShowReport = [](TfrxReport&) {};
    TReportEnvironment env;
    env.GetLangMessage = sample::Lookup(english);
    env.ApplicationTitle = env.GetLangMessage(QStringLiteral("Title"));
    report.APrintExecute(static_cast<int>(rows.size()), grid, env);
    const QString error =
        WriteExportFile(QString::fromLocal8Bit(argv[3]),
                        ExportPdf(report.frxReport1.PreparedPages(), report.frxReport1.DocumentInfo));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
