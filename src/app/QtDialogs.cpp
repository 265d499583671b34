#include "app/QtDialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

#include <vector>

namespace lum1 {

namespace {

struct ButtonMap {
    QMessageBox::StandardButton qt;
    MsgResult result;
};

std::vector<ButtonMap> ButtonsOf(MsgButtons b) {
    using B = QMessageBox;
    switch (b) {
    case MsgButtons::Ok:
        return {{B::Ok, MsgResult::Ok}};
    case MsgButtons::OkCancel:
        return {{B::Ok, MsgResult::Ok}, {B::Cancel, MsgResult::Cancel}};
    case MsgButtons::RetryCancel:
        return {{B::Retry, MsgResult::Retry}, {B::Cancel, MsgResult::Cancel}};
    case MsgButtons::YesNo:
        return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}};
    case MsgButtons::YesNoCancel:
        return {{B::Yes, MsgResult::Yes}, {B::No, MsgResult::No}, {B::Cancel, MsgResult::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{B::Abort, MsgResult::Abort}, {B::Retry, MsgResult::Retry}, {B::Ignore, MsgResult::Ignore}};
    }
    return {{B::Ok, MsgResult::Ok}};
}

QMessageBox::Icon IconOf(MsgIcon i) {
    switch (i) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QStringList NativeFilters(QStringList filters) {
    static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)$"));
    for (QString& f : filters) {
        const QRegularExpressionMatch m = patterns.match(f);
        if (!m.hasMatch())
            continue;
        QStringList matched;
        for (QString pattern : m.captured(1).split(u' ', Qt::SkipEmptyParts)) {
            if (pattern == u"*.*") {
                pattern = QStringLiteral("*");
            } else {
                QString anyCase;
                for (const QChar c : pattern)
                    anyCase += c.isLetter() && c.toLower() != c.toUpper()
                                   ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper())
                                   : QString(c);
                pattern = anyCase;
            }
            matched << pattern;
        }
        // The patterns that are matched stand in a group of their own after the text the user
        // reads, which the dialogs show without them.
        f += QStringLiteral(" (") + matched.join(u' ') + u')';
    }
    return filters;
}

MsgResult QtDialogs::Message(const MessageRequest& request) {
    QMessageBox box(IconOf(request.icon), request.caption, request.text, QMessageBox::NoButton,
                    request.parent ? request.parent : parent_);
    const auto buttons = ButtonsOf(request.buttons);
    for (const ButtonMap& b : buttons)
        box.addButton(b.qt);
    if (request.defaultButton >= 0 && request.defaultButton < static_cast<int>(buttons.size()))
        box.setDefaultButton(buttons[request.defaultButton].qt);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonMap& b : buttons)
        if (b.qt == clicked)
            return b.result;
    // Closed with Escape or the window's close box: the safe answer.
    for (const ButtonMap& b : buttons)
        if (b.result == MsgResult::Cancel || b.result == MsgResult::Abort || b.result == MsgResult::No)
            return b.result;
    return buttons.front().result;
}

std::optional<QString> QtDialogs::OpenFileName(const FileDialogRequest& r) {
    QFileDialog d(r.parent ? r.parent : parent_, r.title, r.directory);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFile);
    d.setOption(QFileDialog::HideNameFilterDetails);
    d.setNameFilters(NativeFilters(r.filters));
    if (!r.fileName.isEmpty())
        d.selectFile(r.fileName);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return std::nullopt;
    return d.selectedFiles().front();
}

std::optional<QString> QtDialogs::SaveFileName(const FileDialogRequest& r) {
    QFileDialog d(r.parent ? r.parent : parent_, r.title, r.directory);
    d.setAcceptMode(QFileDialog::AcceptSave);
    d.setFileMode(QFileDialog::AnyFile);
    d.setOption(QFileDialog::HideNameFilterDetails);
    d.setNameFilters(NativeFilters(r.filters));
    // The program asks its own overwrite question.
    d.setOption(QFileDialog::DontConfirmOverwrite);
    if (!r.defaultSuffix.isEmpty())
        d.setDefaultSuffix(r.defaultSuffix);
    if (!r.fileName.isEmpty())
        d.selectFile(r.fileName);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty())
        return std::nullopt;
    return d.selectedFiles().front();
}

QStringList QtDialogs::OpenFileNames(const FileDialogRequest& r) {
    QFileDialog d(parent_, r.title, r.directory);
    d.setAcceptMode(QFileDialog::AcceptOpen);
    d.setFileMode(QFileDialog::ExistingFiles);
    d.setOption(QFileDialog::HideNameFilterDetails);
    d.setNameFilters(NativeFilters(r.filters));
    QString folder;
    if (!r.folderButton.isEmpty()) {
        // Qt's own dialog, which has a button box to put the folder button in.
        d.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* box = d.findChild<QDialogButtonBox*>()) {
            QPushButton* b = box->addButton(r.folderButton, QDialogButtonBox::ActionRole);
            b->setToolTip(r.folderButtonHint);
            b->setAccessibleName(r.folderButtonHint);
            QObject::connect(b, &QPushButton::clicked, &d, [&d, &folder] {
                folder = d.directory().absolutePath();
                // Done as accepted without the dialog's own check of a chosen file.
                static_cast<QDialog&>(d).done(QDialog::Accepted);
            });
        }
    }
    if (d.exec() != QDialog::Accepted)
        return {};
    return folder.isEmpty() ? d.selectedFiles() : QStringList{folder};
}

} // namespace lum1
