// Any bytes are a language file, as a user may have edited it: every text of the program is
// looked up in it, and a key that is missing or empty rewrites both files from the built-in
// table, after which the lookup must give a text again.
#include "lang/Language.h"
#include "lang/MessageTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace lum1;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // In memory where the system has it: every write of the files is synced to the disk.
    static QTemporaryDir dir(QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm/lum1-fuzz-XXXXXX")
                                                       : QString());
    static TLanguage language(dir.path());
    QDir().mkpath(language.LanguageFolder());
    const bool english = size > 0 && (data[0] & 1);
    for (const QString& path : {language.EnglishFilePath(), language.RussianFilePath()}) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    language.Select(english);
    for (const MessageRow& row : MessageTable) {
        const QString builtIn = (english ? row.english : row.russian).trimmed().toString();
        const QString text = language.GetLangMessage(row.key.toString());
        if (!builtIn.isEmpty() && text.isEmpty())
            std::abort();
    }
    return 0;
}
