#pragma once
// What the screen windows need of the rest of the program, and the state they share. The main
// window owns one and hands it to every screen window it creates.

#include <QPointer>
#include <QString>

#include <atomic>
#include <exception>
#include <functional>

class QWidget;

namespace lum1 {

class IDialogs;
class TIniFile;
class TUSBExchange;
class TfrmScreenshot;

struct TScreenContext {
    QString ProgramDir;
    IDialogs* Dialogs = nullptr;
    std::function<QString(const QString&)> Msg;
    // The new features' texts ([Extra] of the language file).
    std::function<QString(const QString&)> Extra;
    std::function<bool()> EnglishUI;
    // The settings file; null once the program has released it at close.
    std::function<TIniFile*()> Settings;
    // The error box of a failed settings write, over the window it names.
    std::function<void(const std::exception&, QWidget*)> ReportWriteError;
    std::function<void(const QString&)> SetStatusBarGeneral;
    std::function<void()> Help;
    std::function<QString()> ApplicationTitle;

    // The exchange side; null before the exchange thread exists.
    std::function<TUSBExchange*()> Exchange;
    const std::atomic<bool>* DeviceV2 = nullptr;

    // True while a read that a screen window asked for is under way; one read at a time.
    bool ScreenReading = false;
    // The newest screen window.
    QPointer<TfrmScreenshot> frmScreenshot;
};

} // namespace lum1
