#include "report/PdfExport.h"

#include "report/ReportPainter.h"

#include <QBuffer>
#include <QDateTime>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>

namespace lum1 {

namespace {

constexpr int kPdfDpi = 1200;

// A PDF text string in UTF-16 with its byte-order mark, as hex.
QByteArray PdfText(const QString& text) {
    QByteArray hex = "<FEFF";
    for (QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

} // namespace

QByteArray ExportPdf(const TPreparedReport& report, const TPdfProperties& properties) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        TReportPainter painter(report);
        writer.setPageLayout(painter.PageLayout());
        writer.setResolution(kPdfDpi);
        writer.setTitle(properties.Title);
        writer.setCreator(properties.Creator);
        QPainter p(&writer);
        painter.PaintPages(p, writer, kPdfDpi, 0, static_cast<int>(report.Pages.size()) - 1);
        p.end();
    }
    return AddPdfInfo(bytes, properties);
}

QByteArray AddPdfInfo(const QByteArray& pdf, const TPdfProperties& properties) {
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startxrefAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startxrefAt < trailerAt)
        return pdf;
    const QString trailer = QString::fromLatin1(pdf.mid(trailerAt, startxrefAt - trailerAt));
    const auto size = QRegularExpression(QStringLiteral("/Size\\s+(\\d+)")).match(trailer);
    const auto root = QRegularExpression(QStringLiteral("/Root\\s+(\\d+\\s+\\d+\\s+R)")).match(trailer);
    const auto prev = QRegularExpression(QStringLiteral("startxref\\s+(\\d+)"))
                          .match(QString::fromLatin1(pdf.mid(startxrefAt, 40)));
    if (!size.hasMatch() || !root.hasMatch() || !prev.hasMatch())
        return pdf;
    const int object = size.captured(1).toInt();

    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    const qsizetype objectAt = out.size();
    out += QByteArray::number(object) + " 0 obj\n<<\n";
    out += "/Title " + PdfText(properties.Title) + "\n";
    out += "/Author " + PdfText(properties.Author) + "\n";
    out += "/Subject " + PdfText(properties.Subject) + "\n";
    out += "/Creator " + PdfText(properties.Creator) + "\n";
    out += "/Producer " + PdfText(properties.Creator) + "\n";
    out += "/CreationDate (D:" +
           QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() +
           "Z)\n>>\nendobj\n";
    const qsizetype xrefAt = out.size();
    out += "xref\n" + QByteArray::number(object) + " 1\n";
    out += QByteArray::number(objectAt).rightJustified(10, '0') + " 00000 n\r\n";
    out += "trailer\n<<\n/Size " + QByteArray::number(object + 1) + "\n/Root " + root.captured(1).toLatin1() +
           "\n/Info " + QByteArray::number(object) + " 0 R\n/Prev " + prev.captured(1).toLatin1() + "\n>>\n";
    out += "startxref\n" + QByteArray::number(xrefAt) + "\n%%EOF\n";
    return out;
}

} // namespace lum1
