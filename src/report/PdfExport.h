#pragma once
// The report as a PDF file: Qt's PDF writer draws the pages with their fonts embedded, so the
// text stays real, selectable text.

#include "report/PreparedReport.h"

#include <QByteArray>
#include <QString>

namespace lum1 {

struct TPdfProperties {
    QString Title;
    QString Author;
    QString Subject;
    QString Creator;
    bool operator==(const TPdfProperties&) const = default;
};

QByteArray ExportPdf(const TPreparedReport& report, const TPdfProperties& properties);

// Qt's writer has no author and subject: they are added as an incremental update that gives
// the file a new document information dictionary. A file whose trailer cannot be read is
// returned unchanged.
QByteArray AddPdfInfo(const QByteArray& pdf, const TPdfProperties& properties);

} // namespace lum1
