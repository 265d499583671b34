#include "app/Program.h"

#include <QFileInfo>

namespace lum1 {

Program::Program(QString programDir, QString settingsPath, QString eventsFolder)
    : ProgramDir(std::move(programDir)), SettingsPath(std::move(settingsPath)), LogDir(ProgramDir),
      PicturesDir(ProgramDir), ResultsDir(ProgramDir), ArchiveDir(ProgramDir), Language(ProgramDir),
      Events(std::move(eventsFolder)) {}

Program::Program(const TFileLocations& locations, QString eventsFolder)
    : ProgramDir(locations.ProgramDir), SettingsPath(locations.SettingsPath), LogDir(locations.LogDir),
      PicturesDir(locations.PicturesDir), ResultsDir(locations.ResultsDir), ArchiveDir(locations.ArchiveDir),
      FolderLines(locations.Portable ? QStringList() : locations.Describe()), Language(locations.DataDir),
      Events(std::move(eventsFolder)) {}

void Program::CreateMyEvents() {
    ExchangeEvents = TExchangeEvents::Create(Events);
}

// The exchange thread keeps its own references, so an event it still uses stays valid; the
// names are given up when the last reference goes.
void Program::CloseMyEvents() {
    ExchangeEvents = TExchangeEvents{};
}

QString Program::SettingsPathFor(const QString& executablePath) {
    const QFileInfo fi(executablePath);
    const QString suffix = fi.suffix();
    QString base = executablePath;
    if (!suffix.isEmpty() && !fi.completeBaseName().isEmpty())
        base.chop(suffix.size() + 1);
    return base + QStringLiteral(".ini");
}

} // namespace lum1
