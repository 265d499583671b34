// Writes the measurement report of sample rows in the format its file name ends in (.pdf, .html,
// .csv, .txt), or a picture of its preview window (.png): the documentation's pictures of the
// report are made from these. ".print.pdf" prints it through the preview's print command to a
// PDF printer, ".whole.png" is the preview's "Whole page" view: both to compare with the PDF
// export by eye.
//   report_sample <ru|en> <records> <file>
#include "SampleRows.h"

#include "platform/ExportFile.h"
#include "report/CsvExport.h"
#include "report/HtmlExport.h"
#include "report/PdfExport.h"
#include "report/ReportPreview.h"
#include "report/TextExport.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>

#include <cstdio>

using namespace lum1;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: report_sample <ru|en> <records> <file.pdf|.html|.csv|.txt|.png>\n");
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

    if (out.endsWith(QStringLiteral(".print.pdf"))) {
        TReportPreview preview(report.frxReport1);
        preview.execPrintDialog = [](QPrinter&) { return true; };
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
        return preview.PrintWith(printer) ? 0 : 1;
    }
    if (out.endsWith(QStringLiteral(".png"))) {
        TReportPreview preview(report.frxReport1);
        preview.setWindowState(Qt::WindowNoState);
        preview.resize(1200, 800);
        preview.show();
        if (out.endsWith(QStringLiteral(".whole.png")))
            preview.View()->fitInView();
        QTimer::singleShot(300, &app, &QCoreApplication::quit);
        app.exec();
        return preview.grab().save(out) ? 0 : 1;
    }
    const TPreparedReport& prepared = report.frxReport1.PreparedPages();
    const QByteArray bytes =
        out.endsWith(QStringLiteral(".html"))  ? ExportHtml(prepared, report.frxReport1.DocumentInfo.Title)
        : out.endsWith(QStringLiteral(".csv")) ? ExportCsv(prepared)
        : out.endsWith(QStringLiteral(".txt")) ? ExportText(prepared)
                                               : ExportPdf(prepared, report.frxReport1.DocumentInfo);
    const QString error = WriteExportFile(out, bytes);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
