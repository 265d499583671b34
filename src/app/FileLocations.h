#pragma once
// Where the program's files live. A copy of the program in a folder its user may write keeps
// everything in that folder (a portable copy). An installed program's folder is read-only for
// its users: then what the program writes goes to the user's folders by the XDG base-directory
// rules, and only what ships (help, vendor file, the first copy of the language files) is read
// from the program folder. Decided once at start; nothing else asks where a file lives.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace lum1 {

struct TFileLocations {
    QString ProgramDir;   // the executable's folder: what ships with the program
    QString SettingsPath; // the settings file
    QString DataDir;      // the language files and the report's interface texts ("<DataDir>/Language/")
    QString LogDir;       // the exchange log
    QString PicturesDir;  // Screenshot.bmp and the first folder offered for pictures
    QString ResultsDir;   // the first folder offered for results files
    QString ArchiveDir;   // the measurement archive's file (archive.sqlite)
    bool Portable = true;

    // executablePath: the program's own file; env: the process environment (HOME, XDG_*).
    // Creates the per-user folders it chooses; one that cannot be created is still chosen, and
    // the first write there reports the failure as a read-only folder does.
    static TFileLocations Decide(const QString& executablePath, const QProcessEnvironment& env);

    // Copies the shipped language and interface-text files into DataDir where they are missing
    // (an installed program's first start for a user).
    void CopyShippedFiles() const;

    // The folders in use, one line each, for the history in debug mode.
    QStringList Describe() const;
};

// An XDG base folder: the variable's value when it is an absolute path, else HOME + fallback
// ("/.config", "/.local/state").
QString XdgBaseFolder(const QProcessEnvironment& env, const QString& variable, const QString& fallback);

} // namespace lum1
