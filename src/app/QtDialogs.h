#pragma once
#include "platform/Dialogs.h"

#include <QStringList>

class QWidget;

namespace lum1 {

// The dialogs of the running program: Qt's message boxes and file dialogs, each over the window
// its request names, else over the main window.
class QtDialogs : public IDialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    MsgResult Message(const MessageRequest& request) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    QStringList OpenFileNames(const FileDialogRequest& request) override;

private:
    QWidget* parent_;
};

// The filters as the file dialogs take them: "*.*" (every file on Windows) becomes "*", which
// also shows files without a dot, and the letters of every other pattern match in any case
// ("Default.Lum1" under "*.lum1"; some desktops' dialogs compare patterns with case). Each
// filter keeps its text, "LUM-1 files (*.lum1)", for the user to read.
QStringList NativeFilters(QStringList filters);

} // namespace lum1
