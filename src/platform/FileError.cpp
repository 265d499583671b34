#include "platform/FileError.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>
#include <initializer_list>

namespace lum1 {

namespace {

// Qt words some errors itself (and translates them); the rest are the C library's.
bool Says(const QString& text, std::initializer_list<int> codes) {
    for (const int code : codes)
        if (text == qt_error_string(code) || text == QString::fromLocal8Bit(std::strerror(code)))
            return true;
    return false;
}

bool NoWriteBit(const QFileInfo& fi) {
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return fi.exists() && (fi.permissions() & anyWrite) == 0;
}

} // namespace

QString FileRefusedText() {
    return QStringLiteral("read-only");
}

QString FileIncompleteText() {
    return QStringLiteral("write failed");
}

TFileErrorCause FileErrorCause(const QString& path, const QString& systemText) {
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (target.isDir() || Says(systemText, {EISDIR}))
        return TFileErrorCause::IsFolder;
    if (!folder.isDir() || Says(systemText, {ENOENT, ENOTDIR}))
        return TFileErrorCause::NoFolder;
    if (Says(systemText, {ENOSPC, EDQUOT, EFBIG}))
        return TFileErrorCause::NoSpace;
    if (systemText == FileRefusedText() || Says(systemText, {EACCES, EPERM, EROFS}))
        return TFileErrorCause::NoPermission;
    // A message that tells nothing: what the file system looks like now.
    const QStorageInfo volume(folder.absoluteFilePath());
    if (NoWriteBit(target) || NoWriteBit(folder) || !folder.isWritable() ||
        (target.exists() && !target.isWritable()) || (volume.isValid() && volume.isReadOnly()))
        return TFileErrorCause::NoPermission;
    if (volume.isValid() && volume.bytesAvailable() < 1024 * 1024)
        return TFileErrorCause::NoSpace;
    return TFileErrorCause::Other;
}

QString FileErrorCauseKey(TFileErrorCause cause) {
    switch (cause) {
    case TFileErrorCause::NoPermission:
        return QStringLiteral("FileNoPermission");
    case TFileErrorCause::NoSpace:
        return QStringLiteral("FileNoSpace");
    case TFileErrorCause::NoFolder:
        return QStringLiteral("FileNoFolder");
    case TFileErrorCause::IsFolder:
        return QStringLiteral("FileIsFolder");
    case TFileErrorCause::Other:
        break;
    }
    return QStringLiteral("FileNotWritten");
}

QString DescribeFileError(const QString& path, const QString& systemText,
                          const std::function<QString(const QString& key)>& lookup) {
    const QString cause = lookup(FileErrorCauseKey(FileErrorCause(path, systemText)));
    const QString detail = systemText.trimmed();
    if (detail.isEmpty() || detail == FileRefusedText() || detail == FileIncompleteText())
        return cause;
    return cause + u' ' + lookup(QStringLiteral("FileSystemMessage")).arg(detail);
}

} // namespace lum1
