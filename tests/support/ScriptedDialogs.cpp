#include "ScriptedDialogs.h"

namespace lum1::test {

MsgResult ScriptedDialogs::Message(const MessageRequest& request) {
    messages.push_back(request);
    if (messageAnswers.empty())
        return MsgResult::Cancel;
    MsgResult r = messageAnswers.front();
    messageAnswers.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::NextFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (fileAnswers.empty())
        return std::nullopt;
    auto r = fileAnswers.front();
    fileAnswers.pop_front();
    return r;
}

std::optional<QString> ScriptedDialogs::OpenFileName(const FileDialogRequest& request) { return NextFile(request); }
QStringList ScriptedDialogs::OpenFileNames(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    if (filesAnswers.empty())
        return {};
    QStringList r = filesAnswers.front();
    filesAnswers.pop_front();
    return r;
}
std::optional<QString> ScriptedDialogs::SaveFileName(const FileDialogRequest& request) { return NextFile(request); }

} // namespace lum1::test
