#include "report/ExportFile.h"

#include <QSaveFile>

namespace lum1 {

QString WriteExportFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    // commit() flushes and closes: a buffered write cut short by a full disk fails here.
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace lum1
