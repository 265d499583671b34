#include "report/CsvExport.h"

#include "report/ExportRows.h"

namespace lum1 {

namespace {
QString Field(const QString& text) {
    QString f;
    f.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() >= 0x20 && c.unicode() != 0x7f)
            f += c;
    if (f.contains(u';') || f.contains(u'"')) {
        f.replace(u'"', QStringLiteral("\"\""));
        f = u'"' + f + u'"';
    }
    return f;
}
} // namespace

QByteArray ExportCsv(const TPreparedReport& report) {
    const TExportTable table = ExportTable(report);
    QString out;
    for (const TExportLine& line : table.Lines) {
        for (size_t i = 0; i < line.Cells.size(); ++i) {
            if (i > 0)
                out += u';';
            out += Field(line.Cells[i].Text);
        }
        out += u"\r\n";
    }
    // The byte-order mark tells a spreadsheet's default import that the file is UTF-8; without
    // it the Cyrillic texts arrive as the system's 8-bit code page would read them.
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace lum1
