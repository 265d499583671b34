#pragma once
// Texts of the features added after the original program (lot statistics, chart, Excel and map
// export, the batch command line). They live in the language files too, but in a section of
// their own after [Messages]: a key missing there is appended with its built-in text and
// nothing else in the file is touched. Going through the documented lookup instead would
// rewrite every documented text at the first use of a new feature, undoing a user's edits.

#include <QString>
#include <QStringView>

#include <span>

namespace lum1 {

class TLanguage;

struct ExtraRow {
    QStringView key;
    QStringView russian;
    QStringView english;
};

extern const QString ExtraSection; // "Extra"
std::span<const ExtraRow> ExtraTable();

const ExtraRow* FindExtraRow(QStringView key);
// The built-in text of a key; "\n" in it stands for a line break.
QString BuiltInExtraText(QStringView key, bool english);

// The text of a key in the current language file's own section. A key that is missing there is
// appended to it with its built-in text, but only once the file has its [Messages] section, so
// that the section always stands after it. A file that cannot be written is left alone and the
// built-in text is returned: a new feature never brings up a write error of its own.
// writeMissing false: the files are never written (the batch command line).
QString GetExtraMessage(const TLanguage& language, QStringView key, bool writeMissing = true);

} // namespace lum1
