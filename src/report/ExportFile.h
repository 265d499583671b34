#pragma once
// Writes an export under its chosen name only once it is complete: the bytes go to a temporary
// file beside it that replaces the target when every byte is written, so a full disk or a
// folder that cannot be written never leaves half a file under that name.

#include <QByteArray>
#include <QString>

namespace lum1 {

// Empty on success, else the reason: the system's, or readOnlyReason when the target or its
// folder has no write bit at all (honoured even for a superuser, as every file the program
// writes).
QString WriteExportFile(const QString& path, const QByteArray& bytes,
                        const QString& readOnlyReason = QStringLiteral("read-only"));

} // namespace lum1
