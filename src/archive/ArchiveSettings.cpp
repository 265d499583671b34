#include "archive/ArchiveSettings.h"

#include "platform/IniFile.h"

#include <QDir>

namespace lum1 {

const QString ArchiveSection = QStringLiteral("Archive");

namespace {

const QString kSqlite = QStringLiteral("SQLite");
const QString kPostgres = QStringLiteral("PostgreSQL");

} // namespace

TArchiveSettings TArchiveSettings::Read(const TIniFile& ini) {
    TArchiveSettings s;
    s.AutoArchive = ini.ReadBool(ArchiveSection, QStringLiteral("AutoArchive"), s.AutoArchive);
    const QString engine = ini.ReadString(ArchiveSection, QStringLiteral("Engine"), kSqlite);
    if (engine.compare(kPostgres, Qt::CaseInsensitive) == 0 ||
        engine.compare(u"postgres", Qt::CaseInsensitive) == 0)
        s.Engine = TArchiveEngine::PostgreSQL;
    s.Path = ini.ReadString(ArchiveSection, QStringLiteral("Path"), QString());
    s.Host = ini.ReadString(ArchiveSection, QStringLiteral("Host"), QString());
    const int port = ini.ReadInteger(ArchiveSection, QStringLiteral("Port"), s.Port);
    if (port > 0 && port < 65536)
        s.Port = port;
    const QString database = ini.ReadString(ArchiveSection, QStringLiteral("Database"), s.Database);
    if (!database.isEmpty())
        s.Database = database;
    s.User = ini.ReadString(ArchiveSection, QStringLiteral("User"), QString());
    return s;
}

void TArchiveSettings::Write(TIniFile& ini) const {
    ini.WriteStrings(
        ArchiveSection,
        {{QStringLiteral("AutoArchive"), AutoArchive ? QStringLiteral("1") : QStringLiteral("0")},
         {QStringLiteral("Engine"), Engine == TArchiveEngine::PostgreSQL ? kPostgres : kSqlite},
         {QStringLiteral("Path"), Path},
         {QStringLiteral("Host"), Host},
         {QStringLiteral("Port"), QString::number(Port)},
         {QStringLiteral("Database"), Database},
         {QStringLiteral("User"), User}});
}

TArchiveConnection TArchiveSettings::Connection(const QString& archiveFolder) const {
    TArchiveConnection c;
    c.Engine = Engine;
    // A relative path is taken from the archive folder, as the default file is.
    c.SqlitePath = Path.isEmpty()               ? DefaultArchivePath(archiveFolder)
                   : QDir::isAbsolutePath(Path) ? QDir::cleanPath(Path)
                                                : QDir::cleanPath(archiveFolder + u'/' + Path);
    c.Host = Host;
    c.Port = Port;
    c.Database = Database;
    c.User = User;
    return c;
}

} // namespace lum1
