#include "report/TextExport.h"

#include "report/ExportRows.h"

#include <algorithm>

namespace lum1 {

namespace {
QString Fit(const QString& text, qsizetype width, bool centred) {
    const qsizetype pad = std::max<qsizetype>(0, width - text.size());
    const qsizetype before = centred ? pad / 2 : 0;
    return QString(before, u' ') + text + QString(pad - before, u' ');
}
} // namespace

QByteArray ExportText(const TPreparedReport& report) {
    const TExportTable table = ExportTable(report);
    const auto columns = static_cast<size_t>(table.ColumnCount);

    // Column widths from the cells of one column; a column without text is dropped (width -1).
    std::vector<qsizetype> width(columns, -1);
    for (const TExportLine& line : table.Lines)
        for (const TExportCell& cell : line.Cells)
            if (cell.FirstColumn == cell.LastColumn && !cell.Text.isEmpty())
                width[static_cast<size_t>(cell.FirstColumn)] =
                    std::max(width[static_cast<size_t>(cell.FirstColumn)], cell.Text.size());
    auto spanWidth = [&width](int first, int last) {
        qsizetype w = 0;
        int shown = 0;
        for (int c = first; c <= last; ++c)
            if (width[static_cast<size_t>(c)] >= 0) {
                w += width[static_cast<size_t>(c)];
                ++shown;
            }
        return w + std::max(0, shown - 1); // one blank between columns
    };

    // Where each column starts in a line.
    std::vector<qsizetype> start(columns + 1, 0);
    for (size_t c = 0; c < columns; ++c)
        start[c + 1] = start[c] + (width[c] >= 0 ? width[c] + 1 : 0);

    QString out;
    for (const TExportLine& line : table.Lines) {
        QString text;
        for (const TExportCell& cell : line.Cells) {
            const qsizetype at = start[static_cast<size_t>(cell.FirstColumn)];
            if (text.size() > at && !cell.Text.isEmpty())
                text += u' '; // a cell that overflowed its span keeps one blank before the next
            else
                text += QString(std::max<qsizetype>(0, at - text.size()), u' ');
            text += Fit(cell.Text, spanWidth(cell.FirstColumn, cell.LastColumn), cell.Centred);
        }
        while (text.endsWith(u' '))
            text.chop(1);
        if (text.isEmpty())
            continue;
        out += text;
        out += u"\r\n";
    }
    return out.toUtf8();
}

} // namespace lum1
