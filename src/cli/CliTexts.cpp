#include "cli/CliTexts.h"

#include "app/FileLocations.h"
#include "lang/MessageTable.h"
#include "platform/IniFile.h"
#include "stats/LotStatistics.h"

#include <QTextStream>

namespace lum1 {

namespace {
bool LastUsedEnglish(const TFileLocations& locations) {
    return TIniFile(locations.SettingsPath)
               .ReadString(QStringLiteral("Config"), QStringLiteral("LangId"), {}) != u"Rus";
}
} // namespace

TCliTexts::TCliTexts(const TFileLocations& locations, std::optional<bool> english)
    : language_(locations.DataDir) {
    language_.Select(english.value_or(LastUsedEnglish(locations)));
}

QString TCliTexts::Documented(const QString& key) const {
    const QString text = TIniFile(language_.LangFilePath()).ReadString(QStringLiteral("Messages"), key, {});
    if (!text.isEmpty())
        return text;
    const MessageRow* row = FindMessageRow(key);
    return row ? (English() ? row->english : row->russian).trimmed().toString() : QString();
}

void Print(QTextStream& stream, const QString& text) {
    stream << text << Qt::endl;
}

double StoredMinCompaction(const TFileLocations& locations) {
    const QString text =
        TIniFile(locations.SettingsPath)
            .ReadString(QStringLiteral("LotStatistics"), QStringLiteral("MinCompaction"), {});
    return ParseMinCompaction(text).value_or(DefaultMinCompaction);
}

} // namespace lum1
