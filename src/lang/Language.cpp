#include "lang/Language.h"

#include "lang/MessageTable.h"
#include "platform/IniFile.h"

#include <vector>

namespace lum1 {

namespace {
const QString kSection = QStringLiteral("Messages");
}

TLanguage::TLanguage(QString programDir) : programDir_(std::move(programDir)) {}

QString TLanguage::LanguageFolder() const { return programDir_ + QStringLiteral("/Language/"); }
QString TLanguage::RussianFilePath() const { return programDir_ + QStringLiteral("/Language/Russian.ini"); }
QString TLanguage::EnglishFilePath() const { return programDir_ + QStringLiteral("/Language/English.ini"); }

QString TLanguage::GetLangMessage(const QString& key) const {
    // A new reader per call: a text the user edits while the program runs is seen at once.
    // With no language chosen yet the path is empty, nothing is read, and the files are
    // rewritten at their fixed places.
    if (!langFilePath_.isEmpty()) {
        QString text = TIniFile(langFilePath_).ReadString(kSection, key, QString());
        if (!text.isEmpty())
            return text;
    }
    CreateLangFiles();
    if (langFilePath_.isEmpty())
        return QString();
    return TIniFile(langFilePath_).ReadString(kSection, key, QString());
}

void TLanguage::CreateLangFiles() const {
    // Each file is written in one rewrite (Russian first): a failure leaves that file as it
    // was instead of half-written.
    std::vector<std::pair<QString, QString>> russian, english;
    russian.reserve(MessageTable.size());
    english.reserve(MessageTable.size());
    for (const MessageRow& row : MessageTable) {
        russian.emplace_back(row.key.toString(), row.russian.toString());
        english.emplace_back(row.key.toString(), row.english.toString());
    }
    TIniFile(RussianFilePath()).WriteStrings(kSection, russian);
    TIniFile(EnglishFilePath()).WriteStrings(kSection, english);
}

void TLanguage::Select(bool english) {
    englishUI_.store(english, std::memory_order_relaxed);
    langFilePath_ = english ? EnglishFilePath() : RussianFilePath();
}

} // namespace lum1
