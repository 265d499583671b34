#pragma once
#include <QApplication>

namespace lum1 {

// The application object: an exception that escapes an event handler is caught here, once,
// and shown in one error box captioned with the window title; the program goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
    QString caption;

    static void ShowException(const QString& caption, const QString& text);
};

} // namespace lum1
