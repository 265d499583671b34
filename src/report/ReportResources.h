#pragma once
// The interface texts of the report's preview window and its dialogs, per language. They are
// read from the language folder's Russian.frc and English.frc (an INI file, section
// [Resources], UTF-8), written from the built-in texts when missing; a key that a damaged or
// hand-edited file lacks keeps its built-in text.

#include <QString>

#include <map>

namespace lum1 {

class TfrxResources {
public:
    TfrxResources();

    static QString FileName(bool english); // "Russian.frc" or "English.frc"

    // Built-in texts of a language.
    void UseBuiltIn(bool english);
    // The file of the language in the folder ("<ProgramDir>/Language/"): written from the
    // built-in texts when missing (both files), then loaded. A file that can neither be read
    // nor written leaves the built-in texts of the language. Never throws.
    void Select(const QString& languageFolder, bool english);
    // Loads a file over the built-in texts of the language; false when it cannot be read.
    bool LoadFromFile(const QString& path, bool english);
    // Writes the built-in texts of a language as a file; false when it cannot be written.
    static bool WriteFile(const QString& path, bool english);

    // The text of a key; "%1" and "%2" in it are replaced by the arguments, literally.
    QString Get(const QString& key, const QString& arg1 = {}, const QString& arg2 = {}) const;
    bool English() const { return english_; }

private:
    std::map<QString, QString> texts_;
    bool english_ = false;
};

} // namespace lum1
