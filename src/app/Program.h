#pragma once
// Program-wide state: the paths, the settings file, the language, the record store and the
// named events. Created in main() (tests build their own over a temporary folder) and passed
// by reference; nothing of it is global.

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

    QString ProgramDir;
    QString SettingsPath;
    std::unique_ptr<TIniFile> SettingsIni;
    TLanguage Language;
    QString HelpFilePath;
    QString LogFilePath;
    TRecordStore Store;
    TEventNamespace Events;

    // In the order of their base names below.
    enum EventId { DataRd, DataReaded, EEPROMRd, EEPROMReaded, ScreenRd, ScrReaded, EventCount };
    static const std::array<QString, EventCount> EventBaseNames;
    std::array<std::shared_ptr<TNamedEvent>, EventCount> NamedEvents;

    void CreateMyEvents();
    void CloseMyEvents();

    // The settings file of an executable: its path with the extension replaced by ".ini".
    static QString SettingsPathFor(const QString& executablePath);
};

} // namespace lum1
