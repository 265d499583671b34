#pragma once
// The first-start language choice: two radio buttons, no other way to close it.

#include <QDialog>

#include <functional>

class QGroupBox;
class QRadioButton;

namespace lum1 {

class TfrmLanguage : public QDialog {
    Q_OBJECT
public:
    // choose(true) selects English, choose(false) Russian; it may throw (a failed write), in
    // which case the error is reported by the caller and the dialog stays open.
    TfrmLanguage(std::function<void(bool english)> choose, std::function<void()> help,
                 std::function<void(const std::exception&)> reportError, QWidget* parent = nullptr);

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;

    void RadioButton1Click();
    void RadioButton2Click();

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void Choose(bool english);
    std::function<void(bool)> choose_;
    std::function<void()> help_;
    std::function<void(const std::exception&)> reportError_;
    bool chosen_ = false;
};

} // namespace lum1
