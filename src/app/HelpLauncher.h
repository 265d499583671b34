#pragma once
// Opens the user manual, at the section of the window F1 was pressed in, and the About window's
// links through the desktop's opener. When that fails the user is told why, with the manual's
// path so that it can be opened by hand.

#include "app/UrlOpener.h"

#include <QString>
#include <QUrl>

#include <functional>

namespace lum1 {

class THelpLauncher {
public:
    // Hands an address to the desktop; calls failed when it could not be opened.
    using OpenUrl = std::function<void(const QUrl&, TOpenFailed failed)>;

    struct Context {
        std::function<QString()> HelpFilePath; // the documented .chm path of the current language
        OpenUrl Open;
        std::function<QString(const QString&)> Extra; // the new features' texts
        std::function<void(const QString&)> ShowFailure;
    };

    explicit THelpLauncher(Context context) : context_(std::move(context)) {}

    // The manual of the current language, at a section (empty: from its start).
    void OpenManual(const QString& section) const;
    void OpenLink(const QUrl& url) const;

    // The compiled help file when it is there; otherwise the HTML manual beside it, at the section.
    static QUrl ManualAddress(const QString& helpFilePath, const QString& section);

private:
    // Why an address could not be opened; path: the manual's, empty for a link.
    static QString Reason(const Context& context, const TOpenFailure& failure, const QString& path);

    Context context_;
};

} // namespace lum1
