#pragma once
// Writes an export under its chosen name only once it is complete: the bytes go to a temporary
// file beside it that replaces the target when every byte is written, so a full disk or a
// folder that cannot be written never leaves half a file under that name.

#include "platform/FileError.h"

#include <QByteArray>
#include <QString>

namespace lum1 {

struct TExportReasons {
    // The target or its folder has no write bit at all (honoured even for a superuser, as for
    // every file the program writes).
    QString ReadOnly = FileRefusedText();
    // The bytes could not all be written and the system gives no reason (a full disk).
    QString WriteFailed = FileIncompleteText();
};

// Empty on success, else the reason (DescribeFileError puts it in words).
QString WriteExportFile(const QString& path, const QByteArray& bytes, const TExportReasons& reasons = {});

} // namespace lum1
