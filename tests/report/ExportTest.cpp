// The exports of a prepared report: text and CSV against expected files, HTML escaping, PDF
// text and properties, and what a failed write leaves behind.
#include "platform/ExportFile.h"
#include "report/CsvExport.h"
#include "report/HtmlExport.h"
#include "report/PdfExport.h"
#include "report/TextExport.h"

#include "ReportFixture.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace lum1 {
namespace {

using test::ReportHarness;

QByteArray Expected(const char* name) {
    QFile f(QStringLiteral(LUM1_REPORT_EXPECTED "/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// Three rows, one with the CSV separator and a quotation mark in its object name.
ReportHarness SmallReport() {
    ReportHarness h;
    h.rows = test::NumberedRows(3);
    h.rows[1][6] = QStringLiteral("Road \"A\"; km 2");
    h.rows[2][1] = QStringLiteral("14:05:09 (May 5, 2019) - deleted");
    h.Print();
    return h;
}

QString RunTool(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(ReportExport, TextAndCsvOfASmallTable) {
    const ReportHarness h = SmallReport();
    EXPECT_EQ(ExportText(h.Prepared()), Expected("small.txt"));
    // The CSV file starts with UTF-8's byte-order mark, for the spreadsheets' default import.
    EXPECT_EQ(ExportCsv(h.Prepared()), Expected("small.csv"));
    EXPECT_TRUE(Expected("small.csv").startsWith("\xEF\xBB\xBFMeasured debsity values"));
}

TEST(ReportExport, HtmlEscapesCellsAndKeepsTheRaisedThree) {
    ReportHarness h;
    h.rows = test::NumberedRows(1);
    h.rows[0][6] = QStringLiteral("<b>A&B</b>");
    h.Print();
    const QString html = QString::fromUtf8(ExportHtml(h.Prepared(), QStringLiteral("T <1>")));
    EXPECT_TRUE(html.contains(u"&lt;b&gt;A&amp;B&lt;/b&gt;"));
    EXPECT_FALSE(html.contains(u"<b>A"));
    EXPECT_TRUE(html.contains(u"<title>T &lt;1&gt;</title>"));
    EXPECT_TRUE(html.contains(u"kg/m<sup>3</sup>"));
    EXPECT_TRUE(html.contains(u"- 1 -"));
}

TEST(ReportExport, HtmlLeavesOutControlCharacters) {
    ReportHarness h;
    h.rows = test::NumberedRows(1);
    h.rows[0][6] = QStringLiteral("Road\x01 M4\x0b\x1f\u0098");
    h.Print();
    const QString html = QString::fromUtf8(ExportHtml(h.Prepared(), QStringLiteral("T\x02")));
    EXPECT_FALSE(html.contains(QRegularExpression(QStringLiteral("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f]"))));
    EXPECT_TRUE(html.contains(u">Road M4<")) << html.toStdString();
}

TEST(ReportExport, PdfHoldsEveryCellAsTextAndNamesTheProgram) {
    ReportHarness h;
    h.rows = test::NumberedRows(40);
    h.rows[7][6] = QStringLiteral("Обход г. Тверь");
    h.Print();
    const test::TempDir dir;
    const QString pdf = dir.File("report.pdf");
    ASSERT_EQ(WriteExportFile(pdf, ExportPdf(h.Prepared(), h.report.frxReport1.DocumentInfo)), QString());

    const QString text =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const TRowTexts& row : h.rows)
        for (const QString& cell : row)
            EXPECT_TRUE(text.contains(cell)) << cell.toStdString();
    for (const char* t : {"Measured debsity values", "Time, date"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t;
    // The narrow blanks around the page number come out as the extractor judges them.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("-\\s*2\\s*-"))));

    const QString info = RunTool(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_TRUE(
        info.contains(QRegularExpression(QStringLiteral("Author:\\s+LUM-1.2. Asphalt densitometer\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Subject:\\s+Measured debsity values\\n"))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+842 x 595 pts \\(A4\\)"))));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+2\\n"))));
}

TEST(ReportExport, AFailedWriteLeavesNoFileAndNoChangedFile) {
    const test::TempDir dir;
    dir.Write("old.csv", "earlier contents");
    test::SetReadOnly(dir.Path(), true);
    const QString fresh = WriteExportFile(dir.File("new.csv"), "abc");
    const QString over = WriteExportFile(dir.File("old.csv"), "abc");
    test::SetReadOnly(dir.Path(), false);
    EXPECT_FALSE(fresh.isEmpty());
    EXPECT_FALSE(over.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.File("new.csv")));
    EXPECT_EQ(dir.Read("old.csv"), "earlier contents");
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList{"old.csv"});
}

} // namespace
} // namespace lum1
