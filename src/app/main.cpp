// Program entry: the application object, the main window, the hidden message history window,
// the message loop.

#include "app/Application.h"
#include "app/HelpTopics.h"
#include "app/UrlOpener.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "app/QtDialogs.h"
#include "cli/BatchExport.h"
#include "lang/LanguageDialog.h"

#include <QFileInfo>
#include <QFont>
#include <QProcessEnvironment>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

// The first argument that is not an option: a results file to open at start.
QString FileArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i)
        if (!arguments[i].startsWith(u'-'))
            return arguments[i];
    return {};
}

} // namespace

int main(int argc, char** argv) {
    // Batch work (--export, --help, --version) runs without a window and needs no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (lum1::IsBatchCommandLine(arguments))
        return lum1::BatchMain(argc, argv);
    lum1::Application app(argc, argv);
    app.setApplicationName(QStringLiteral("lum1"));
    // The desktop entry lum1.desktop: its icon and name for the window on Wayland desktops.
    QGuiApplication::setDesktopFileName(QStringLiteral("lum1"));
    app.setStyle(QStringLiteral("Fusion"));
    // The window's font is Tahoma 8 pt where it exists; elsewhere a sans face of similar
    // width, so that the stored column widths fit their texts.
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.5);
    app.setFont(font);
    app.setQuitOnLastWindowClosed(false);
    int exitCode = 0;
    bool ended = false;
    try {
        const lum1::TFileLocations locations = lum1::TFileLocations::Decide(
            QCoreApplication::applicationFilePath(), QProcessEnvironment::systemEnvironment());
        locations.CopyShippedFiles();
        lum1::Program program(locations);
        lum1::QtDialogs dialogs;
        lum1::TUrlOpener opener;
        lum1::TForm1::Hooks hooks;
        hooks.endProcess = [&exitCode, &ended](int code) {
            exitCode = code;
            ended = true;
            if (code != 0) {
                // The exchange thread was abandoned: nothing it uses may be destroyed under it.
                std::fflush(nullptr);
                std::_Exit(code);
            }
            QCoreApplication::exit(code);
        };
        hooks.openUrl = [&opener](const QUrl& url, lum1::TOpenFailed failed) {
            opener.Open(url, std::move(failed));
        };
        hooks.chooseLanguage = [&dialogs](lum1::TForm1& form) {
            lum1::TfrmLanguage dialog(
                [&form](bool english) { english ? form.ALangEngExecute() : form.ALangRusExecute(); },
                [&form] { form.OpenHelpAt(QString::fromLatin1(lum1::HelpTopic::Language)); },
                // The box stands over the language dialog it came from (the main window is not
                // shown yet).
                [&dialogs, &dialog](const std::exception& e) {
                    dialogs.Message({QStringLiteral("LUM-1.2"), QString::fromStdString(e.what()),
                                     lum1::MsgIcon::Error, lum1::MsgButtons::Ok, 0, &dialog});
                });
            return dialog.exec() == QDialog::Accepted;
        };
        lum1::TForm1 form(program, dialogs, hooks);
        dialogs.SetParent(&form);
        app.caption = form.windowTitle();
        QObject::connect(&form, &QWidget::windowTitleChanged, &app,
                         [&app](const QString& t) { app.caption = t; });
        form.CreateStatusWindow();
        if (form.StartMaximized())
            form.showMaximized();
        else
            form.show();
        // A close handled before the event loop runs has ended the program already: the loop's
        // exit request is forgotten by a loop that starts afterwards.
        // A results file named on the command line opens once the window is up, so that its
        // messages have the window to stand over.
        const QString fileArgument = FileArgument(QCoreApplication::arguments());
        if (!fileArgument.isEmpty())
            QTimer::singleShot(0, &form, [&form, fileArgument] { form.OpenFileAtStart(fileArgument); });
        if (!ended)
            app.exec();
    } catch (const std::exception& e) {
        lum1::Application::ShowException(app.caption, QString::fromStdString(e.what()));
    }
    return exitCode;
}
