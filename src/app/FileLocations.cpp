#include "app/FileLocations.h"

#include "app/Program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace lum1 {

namespace {

QString Home(const QProcessEnvironment& env) {
    const QString home = env.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home) : QDir::homePath();
}

// The program's subfolder of an XDG base folder, created if need be; when the variable's
// folder cannot be created, the default base folder is tried before giving up.
QString UserFolder(const QProcessEnvironment& env, const QString& variable, const QString& fallback) {
    const QString preferred = XdgBaseFolder(env, variable, fallback) + QStringLiteral("/lum1");
    if (QDir().mkpath(preferred))
        return preferred;
    const QString standard = Home(env) + fallback + QStringLiteral("/lum1");
    QDir().mkpath(standard);
    return standard == preferred || QFileInfo(standard).isDir() ? standard : preferred;
}

// The super-user may write anywhere; a folder that grants nobody the right to write counts
// as read-only for it as well, as it does for everyone else.
bool FolderWritable(const QString& path) {
    const QFileInfo fi(path);
    return fi.isDir() && fi.isWritable() &&
           (fi.permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
}

} // namespace

QString XdgBaseFolder(const QProcessEnvironment& env, const QString& variable, const QString& fallback) {
    const QString value = env.value(variable);
    // The base-directory rules ignore a relative path.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return Home(env) + fallback;
}

TFileLocations TFileLocations::Decide(const QString& executablePath, const QProcessEnvironment& env) {
    TFileLocations l;
    l.ProgramDir = QFileInfo(executablePath).absolutePath();
    l.Portable = FolderWritable(l.ProgramDir);
    if (l.Portable) {
        l.SettingsPath = Program::SettingsPathFor(executablePath);
        l.DataDir = l.LogDir = l.PicturesDir = l.ResultsDir = l.ArchiveDir = l.ProgramDir;
        return l;
    }
    l.DataDir = UserFolder(env, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral("/.config"));
    l.SettingsPath = l.DataDir + u'/' + QFileInfo(Program::SettingsPathFor(executablePath)).fileName();
    l.LogDir = UserFolder(env, QStringLiteral("XDG_STATE_HOME"), QStringLiteral("/.local/state"));
    l.ArchiveDir = UserFolder(env, QStringLiteral("XDG_DATA_HOME"), QStringLiteral("/.local/share"));
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    l.PicturesDir = QFileInfo(pictures).isDir() ? pictures : Home(env);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    l.ResultsDir = QFileInfo(documents).isDir() ? documents : Home(env);
    return l;
}

void TFileLocations::CopyShippedFiles() const {
    if (Portable)
        return;
    const QString from = ProgramDir + QStringLiteral("/Language/"),
                  to = DataDir + QStringLiteral("/Language/");
    const QStringList shipped =
        QDir(from).entryList({QStringLiteral("*.ini"), QStringLiteral("*.frc")}, QDir::Files);
    if (shipped.isEmpty() || !QDir().mkpath(to))
        return;
    for (const QString& name : shipped)
        if (!QFileInfo::exists(to + name) && QFile::copy(from + name, to + name))
            // A copy of a read-only file is read-only too: the program rewrites these files.
            QFile::setPermissions(to + name, QFile::permissions(to + name) | QFileDevice::WriteOwner);
}

QStringList TFileLocations::Describe() const {
    return {QStringLiteral("Program folder: ") + QDir::toNativeSeparators(ProgramDir),
            QStringLiteral("Settings: ") + QDir::toNativeSeparators(SettingsPath),
            QStringLiteral("Language files: ") +
                QDir::toNativeSeparators(DataDir + QStringLiteral("/Language")),
            QStringLiteral("Exchange log: ") + QDir::toNativeSeparators(LogDir),
            QStringLiteral("Pictures: ") + QDir::toNativeSeparators(PicturesDir),
            QStringLiteral("Archive: ") + QDir::toNativeSeparators(ArchiveDir)};
}

} // namespace lum1
