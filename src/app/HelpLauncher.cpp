#include "app/HelpLauncher.h"

#include <QDir>
#include <QFileInfo>

namespace lum1 {

QUrl THelpLauncher::ManualAddress(const QString& helpFilePath, const QString& section) {
    // Compiled HTML help has no common viewer here: the same manual as an HTML page stands
    // beside it and is opened when the compiled file is absent.
    if (QFileInfo::exists(helpFilePath))
        return QUrl::fromLocalFile(helpFilePath);
    const QFileInfo chm(helpFilePath);
    QUrl url = QUrl::fromLocalFile(chm.path() + u'/' + chm.completeBaseName() + QStringLiteral(".html"));
    if (!section.isEmpty())
        url.setFragment(section);
    return url;
}

void THelpLauncher::OpenManual(const QString& section) const {
    const QUrl url = ManualAddress(context_.HelpFilePath(), section);
    if (!context_.Open)
        return;
    const QString path = QDir::toNativeSeparators(url.toLocalFile());
    context_.Open(url, [context = context_, path](const TOpenFailure& failure) {
        context.ShowFailure(
            context.Extra(QStringLiteral("HelpOpenFailed")).arg(Reason(context, failure, path), path));
    });
}

void THelpLauncher::OpenLink(const QUrl& url) const {
    if (!context_.Open)
        return;
    context_.Open(url, [context = context_, url](const TOpenFailure& failure) {
        context.ShowFailure(context.Extra(QStringLiteral("LinkOpenFailed"))
                                .arg(Reason(context, failure, QString()), url.toDisplayString()));
    });
}

QString THelpLauncher::Reason(const Context& context, const TOpenFailure& failure, const QString& path) {
    if (!path.isEmpty() && !QFileInfo::exists(path))
        return context.Extra(QStringLiteral("HelpFileMissing"));
    if (failure.OpenerMissing)
        return context.Extra(QStringLiteral("OpenerMissing")).arg(failure.Opener);
    return context.Extra(QStringLiteral("OpenerFailed")).arg(failure.Opener).arg(failure.ExitCode);
}

} // namespace lum1
