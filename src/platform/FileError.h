#pragma once
// Why a file could not be written, told in the interface language: the cause is worked out from
// the system's message and the state of the file system, and the message keeps the system's own
// text (which the system may give in English) only as a detail after it.

#include <QString>

#include <functional>

namespace lum1 {

enum class TFileErrorCause { NoPermission, NoSpace, NoFolder, IsFolder, Other };

// Stand-ins for a system message: the program refused the write itself (a file or folder with
// no write bit, which it leaves alone even for the superuser), or the bytes could not all be
// written and the system gave no reason.
QString FileRefusedText();
QString FileIncompleteText();

TFileErrorCause FileErrorCause(const QString& path, const QString& systemText);

// The key of a cause's text in a language table: FileNoPermission, FileNoSpace, FileNoFolder,
// FileIsFolder or FileNotWritten.
QString FileErrorCauseKey(TFileErrorCause cause);

// "<cause in words> (system message: <text>)", with the texts of the keys above and of
// FileSystemMessage from lookup; the detail is left out when there is none from the system.
QString DescribeFileError(const QString& path, const QString& systemText,
                          const std::function<QString(const QString& key)>& lookup);

} // namespace lum1
