#pragma once
#include "platform/Dialogs.h"

class QWidget;

namespace lum1 {

// The dialogs of the running program: Qt's message boxes and file dialogs.
class QtDialogs : public IDialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    MsgResult Message(const MessageRequest& request) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;

private:
    QWidget* parent_;
};

} // namespace lum1
