#include "app/Application.h"

#include <QMessageBox>

#include <exception>

namespace lum1 {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

void Application::ShowException(const QString& caption, const QString& text) {
    QMessageBox::critical(activeWindow(), caption, text);
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowException(caption, QString::fromStdString(e.what()));
    } catch (...) {
        ShowException(caption, QString());
    }
    return false;
}

} // namespace lum1
