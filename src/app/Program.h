#pragma once
// Program-wide state: the paths, the settings file, the language, the record store and the
// named events. Created in main() (tests build their own over a temporary folder) and passed
// by reference; nothing of it is global.

#include "app/FileLocations.h"
#include "device/USBExchange.h"
#include "lang/Language.h"
#include "platform/IniFile.h"
#include "platform/NamedEvent.h"
#include "results/MeasRecord.h"

#include <QString>

#include <array>
#include <memory>

namespace lum1 {

class Program {
public:
    // programDir: the executable's folder; settingsPath: the executable's path with ".ini";
    // eventsFolder: where event names are claimed (empty: the user's runtime folder).
    Program(QString programDir, QString settingsPath, QString eventsFolder = {});
    // The folders decided at start (an installed program keeps its users' files in theirs).
    explicit Program(const TFileLocations& locations, QString eventsFolder = {});

    QString ProgramDir; // what ships: help, vendor file
    QString SettingsPath;
    // Where the program writes; the program folder itself for a portable copy.
    QString LogDir, PicturesDir, ResultsDir, ArchiveDir;
    QStringList FolderLines; // the folders in use, for the history in debug mode
    std::unique_ptr<TIniFile> SettingsIni;
    TLanguage Language;
    QString HelpFilePath;
    QString LogFilePath;
    TRecordStore Store;
    TEventNamespace Events;

    TExchangeEvents ExchangeEvents; // the six named events

    void CreateMyEvents();
    void CloseMyEvents();

    // The settings file of an executable: its path with the extension replaced by ".ini".
    static QString SettingsPathFor(const QString& executablePath);
};

} // namespace lum1
