#include "lang/LanguageDialog.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRadioButton>
#include <QScreen>

namespace lum1 {

TfrmLanguage::TfrmLanguage(std::function<void(bool)> choose, std::function<void()> help,
                           std::function<void(const std::exception&)> reportError, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), choose_(std::move(choose)),
      help_(std::move(help)), reportError_(std::move(reportError)) {
    setObjectName(QStringLiteral("frmLanguage"));
    setWindowTitle(QStringLiteral("Язык (Language)"));
    // Wide enough for the title text of common window managers; the radio buttons keep their
    // places inside the group box.
    setFixedSize(180, 105);
    auto* box = new QGroupBox(this);
    box->setObjectName(QStringLiteral("GroupBox1"));
    box->setGeometry(0, 0, 180, 105);
    RadioButton1 = new QRadioButton(QStringLiteral("Русский"), box);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(8, 24, 150, 17);
    RadioButton2 = new QRadioButton(QStringLiteral("English"), box);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(8, 64, 150, 17);
    RadioButton1->setAutoExclusive(false);
    RadioButton2->setAutoExclusive(false);
    connect(RadioButton1, &QRadioButton::clicked, this, [this] { RadioButton1Click(); });
    connect(RadioButton2, &QRadioButton::clicked, this, [this] { RadioButton2Click(); });
}

void TfrmLanguage::RadioButton1Click() { Choose(false); }
void TfrmLanguage::RadioButton2Click() { Choose(true); }

void TfrmLanguage::Choose(bool english) {
    try {
        choose_(english);
    } catch (const std::exception& e) {
        (english ? RadioButton2 : RadioButton1)->setChecked(false);
        if (reportError_)
            reportError_(e);
        return;
    }
    chosen_ = true;
    accept();
}

void TfrmLanguage::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    const QRect screen = (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())->geometry();
    move(screen.center() - QPoint(width() / 2, height() / 2));
    int left = x(), top = y();
    if (left < 0)
        left = 0;
    else if (left > screen.width() - 50)
        left = screen.width() / 2;
    if (top < 0)
        top = 0;
    else if (top > screen.height() - 50)
        top = screen.height() / 2;
    move(left, top);
}

void TfrmLanguage::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_F1) {
        if (help_)
            help_();
        return;
    }
    if (e->key() == Qt::Key_Escape)
        return; // a choice is required
    QDialog::keyPressEvent(e);
}

void TfrmLanguage::closeEvent(QCloseEvent* e) {
    // Closed by the window system without a choice: the caller falls back to English.
    QDialog::closeEvent(e);
}

} // namespace lum1
