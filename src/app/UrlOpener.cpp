#include "app/UrlOpener.h"

#include <QProcess>
#include <QUrl>

namespace lum1 {

TUrlOpener::TUrlOpener(QString opener, QObject* parent) : QObject(parent), opener_(std::move(opener)) {}

TUrlOpener::~TUrlOpener() {
    // The processes are this object's children: they would report their end to a program that
    // is going away.
    for (QProcess* p : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        p->disconnect();
        delete p;
    }
}

void TUrlOpener::Open(const QUrl& url, TOpenFailed failed) {
    auto* process = new QProcess(this);
    // No pipes: a browser that the opener starts in the foreground inherits them and would be
    // killed by a broken pipe once the program ends.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setInputChannelMode(QProcess::ForwardedInputChannel);
    ++running_;
    auto end = [this, process, failed](const TOpenFailure* failure) {
        process->disconnect();
        process->deleteLater();
        --running_;
        if (failure && failed)
            failed(*failure);
    };
    connect(process, &QProcess::errorOccurred, this, [this, end](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash or a read error ends in finished()
        const TOpenFailure failure{true, 0, opener_};
        end(&failure);
    });
    connect(process, &QProcess::finished, this, [this, end](int code, QProcess::ExitStatus status) {
        const TOpenFailure failure{false, status == QProcess::NormalExit ? code : -1, opener_};
        end(failure.ExitCode != 0 ? &failure : nullptr);
    });
    // Encoded: the opener decodes a file address itself, and a mail subject keeps its blanks.
    process->start(opener_, {url.toString(QUrl::FullyEncoded)});
}

} // namespace lum1
