#pragma once
// The archive's settings, in the settings file's section [Archive]:
//   AutoArchive=1          every successful read of the gauge is archived
//   Engine=SQLite          or PostgreSQL
//   Path=                  the SQLite file; empty: archive.sqlite in the archive folder
//   Host=, Port=5432, Database=lum1, User=   the PostgreSQL server (never a password)

#include "archive/Archive.h"

#include <QString>

namespace lum1 {

class TIniFile;

extern const QString ArchiveSection; // "Archive"

struct TArchiveSettings {
    bool AutoArchive = true;
    TArchiveEngine Engine = TArchiveEngine::SQLite;
    QString Path;
    QString Host;
    int Port = 5432;
    QString Database = QStringLiteral("lum1");
    QString User;

    // Missing or unreadable keys give the defaults above.
    static TArchiveSettings Read(const TIniFile& ini);
    // Writes every key (throws EIniWriteError as every settings write does).
    void Write(TIniFile& ini) const;

    // archiveFolder: where archive.sqlite lives when Path is empty (TFileLocations::ArchiveDir).
    TArchiveConnection Connection(const QString& archiveFolder) const;
    bool operator==(const TArchiveSettings&) const = default;
};

} // namespace lum1
