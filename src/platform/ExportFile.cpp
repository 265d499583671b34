#include "platform/ExportFile.h"

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

QString WriteExportFile(const QString& path, const QByteArray& bytes, const TExportReasons& reasons) {
    const QFileInfo target(path);
    if (Protected(target) || Protected(QFileInfo(target.absolutePath())))
        return reasons.ReadOnly;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // commit() flushes and closes: a buffered write cut short by a full disk fails there, and
    // Qt then reports no reason of its own.
    QString reason;
    if (file.write(bytes) != bytes.size()) {
        reason = file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        reason = file.errorString();
    } else {
        return {};
    }
    return reason.isEmpty() || reason == QLatin1String("Unknown error") ? reasons.WriteFailed : reason;
}

} // namespace lum1
