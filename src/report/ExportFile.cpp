#include "report/ExportFile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace lum1 {

namespace {
bool Protected(const QFileInfo& fi) {
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return fi.exists() && (fi.permissions() & anyWrite) == 0;
}
} // namespace

QString WriteExportFile(const QString& path, const QByteArray& bytes, const QString& readOnlyReason) {
    const QFileInfo target(path);
    if (Protected(target) || Protected(QFileInfo(target.absolutePath())))
        return readOnlyReason;
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
