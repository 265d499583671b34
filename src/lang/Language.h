#pragma once
// The two language files and the lookup of texts by key.

#include <QString>

#include <atomic>

namespace lum1 {

class TLanguage {
public:
    // programDir: the folder of the executable, without a trailing separator.
    explicit TLanguage(QString programDir);

    QString LanguageFolder() const;   // ProgramDir + "/Language/"
    QString RussianFilePath() const;  // ProgramDir + "/Language/Russian.ini"
    QString EnglishFilePath() const;  // ProgramDir + "/Language/English.ini"

    // The text of a key in the current language file. An empty result rewrites both files
    // from the built-in table and reads once more. Throws EIniWriteError when a rewrite fails.
    QString GetLangMessage(const QString& key) const;
    // Writes every row of the built-in table into both files.
    void CreateLangFiles() const;

    // Makes English (true) or Russian (false) the current language: EnglishUI and LangFilePath.
    void Select(bool english);

    bool EnglishUI() const { return englishUI_.load(std::memory_order_relaxed); }
    const QString& LangFilePath() const { return langFilePath_; }

private:
    QString programDir_;
    QString langFilePath_; // empty until a language has been chosen
    std::atomic<bool> englishUI_{false}; // also read by the exchange thread
};

} // namespace lum1
