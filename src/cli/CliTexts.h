#pragma once
// What every command of the command line shares: its texts in the chosen language (the language
// files are read, never written: a batch run leaves the user's files as they are, and a text
// missing there comes from the built-in table), its output lines, and the settings it takes
// from the window's.

#include "lang/ExtraTexts.h"
#include "lang/Language.h"

#include <QString>

#include <functional>
#include <optional>

class QTextStream;

namespace lum1 {

struct TFileLocations;

class TCliTexts {
public:
    // english: --lang when given, else the language the program was last used in.
    TCliTexts(const TFileLocations& locations, std::optional<bool> english);

    bool English() const { return language_.EnglishUI(); }
    // A text of the documented table ([Messages]).
    QString Documented(const QString& key) const;
    // A text of the new features' section ([Extra]).
    QString Extra(const QString& key) const { return GetExtraMessage(language_, key, false); }
    QString Extra(const char* key) const { return Extra(QString::fromLatin1(key)); }
    QString operator()(const QString& key) const { return Extra(key); }
    std::function<QString(const QString& key)> Lookup() const {
        return [this](const QString& key) { return Extra(key); };
    }

private:
    TLanguage language_;
};

// One line, flushed: a watcher sees every line as it comes.
void Print(QTextStream& stream, const QString& text);

// The minimum compaction factor the window's lot statistics judge against ([LotStatistics]
// MinCompaction), or the default.
double StoredMinCompaction(const TFileLocations& locations);

} // namespace lum1
