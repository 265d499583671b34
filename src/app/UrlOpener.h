#pragma once
// Hands the manual and the About window's links to the desktop's opener (xdg-open) without
// waiting for it, and reports, later and on the window thread, when it could not open them:
// the opener is not installed, or it ended with an error (no program for that kind of address).

#include <QObject>
#include <QString>

#include <functional>

class QUrl;

namespace lum1 {

struct TOpenFailure {
    bool OpenerMissing = false; // the opener could not be started at all
    int ExitCode = 0;           // otherwise: the opener's exit code
    QString Opener;             // the opener's name, for the message
};

using TOpenFailed = std::function<void(const TOpenFailure&)>;

class TUrlOpener : public QObject {
    Q_OBJECT
public:
    explicit TUrlOpener(QString opener = QStringLiteral("xdg-open"), QObject* parent = nullptr);
    // An opener still running when the program ends is stopped without reporting anything.
    ~TUrlOpener() override;

    void Open(const QUrl& url, TOpenFailed failed);
    // How many openers have not ended yet.
    int Running() const { return running_; }

private:
    QString opener_;
    int running_ = 0;
};

} // namespace lum1
