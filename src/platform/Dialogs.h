#pragma once
// Every message box and file dialog of the program goes through this interface, so that the
// application shows Qt's dialogs and the tests answer them from a script.

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace lum1 {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, RetryCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class MsgResult { Ok, Cancel, Retry, Abort, Ignore, Yes, No };

struct MessageRequest {
    QString caption;
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    int defaultButton = 0; // index into the buttons, left to right
    // The window the box was opened from; null: the main window.
    QWidget* parent = nullptr;
};

struct FileDialogRequest {
    QString title;
    QStringList filters; // "Results (*.lum1)" style
    QString directory;
    QString fileName; // proposed name (save) or empty
    QString defaultSuffix;
    // The window the dialog was opened from; null: the main window.
    QWidget* parent = nullptr;
    // Several files: a button that chooses the folder shown instead (empty: no such button).
    QString folderButton, folderButtonHint;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual MsgResult Message(const MessageRequest& request) = 0;
    // The chosen file's full path, or nothing when the user cancelled.
    virtual std::optional<QString> OpenFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> SaveFileName(const FileDialogRequest& request) = 0;
    // Several existing files at once, or the folder shown when the request has a folder button;
    // empty when the user cancelled.
    virtual QStringList OpenFileNames(const FileDialogRequest& request) {
        const std::optional<QString> one = OpenFileName(request);
        return one ? QStringList{*one} : QStringList{};
    }
};

} // namespace lum1
