#include "app/Program.h"

#include <QFileInfo>

namespace lum1 {

const std::array<QString, Program::EventCount> Program::EventBaseNames = {
    QStringLiteral("DataRdEvent"),   QStringLiteral("DataReadedEvent "), QStringLiteral("EEPROMRdEvent "),
    QStringLiteral("EEPROMReadedEvent="), QStringLiteral("ScreenRdEvent "),  QStringLiteral("ScrReadedEvent "),
};

Program::Program(QString programDir, QString settingsPath, QString eventsFolder)
    : ProgramDir(std::move(programDir)), SettingsPath(std::move(settingsPath)), Language(ProgramDir),
      Events(std::move(eventsFolder)) {}

void Program::CreateMyEvents() {
    for (int i = 0; i < EventCount; ++i)
        NamedEvents[i] = Events.CreateNamedEvent(EventBaseNames[i], false);
}

void Program::CloseMyEvents() {
    for (auto& e : NamedEvents)
        e.reset();
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
