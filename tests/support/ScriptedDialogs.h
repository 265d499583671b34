#pragma once
#include "platform/Dialogs.h"

#include <deque>
#include <vector>

namespace lum1::test {

// Answers dialogs from queues filled by the test and records every request it saw. A request
// with nothing queued gets Cancel (or no file), so a missing answer can never hang a test.
class ScriptedDialogs : public IDialogs {
public:
    std::deque<MsgResult> messageAnswers;
    std::deque<std::optional<QString>> fileAnswers;
    std::deque<QStringList> filesAnswers; // several files or a folder
    std::vector<MessageRequest> messages;
    std::vector<FileDialogRequest> fileRequests;

    MsgResult Message(const MessageRequest& request) override;
    std::optional<QString> OpenFileName(const FileDialogRequest& request) override;
    std::optional<QString> SaveFileName(const FileDialogRequest& request) override;
    QStringList OpenFileNames(const FileDialogRequest& request) override;

private:
    std::optional<QString> NextFile(const FileDialogRequest& request);
};

} // namespace lum1::test
