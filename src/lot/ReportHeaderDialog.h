#pragma once
// The report-header setup the user fills once: organisation, logo, contract or project, road or
// object, layer, mix or material, gauge and operator. Empty fields that the records can tell are
// filled from them in each report. A logo that is no picture or too large is refused with the
// report's own message and the dialog stays open.

#include "lot/AcceptanceSettings.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QDialogButtonBox;

namespace lum1 {

class IDialogs;

class TReportHeaderDialog : public QDialog {
    Q_OBJECT
public:
    TReportHeaderDialog(const TReportHeaderSetup& setup, IDialogs& dialogs,
                        std::function<QString(const QString&)> extra, QWidget* parent = nullptr);

    TReportHeaderSetup Setup() const;

    std::function<void()> help;
    QString caption;    // of the message boxes
    QString logoFolder; // where the logo's file dialog opens when no logo is set

    QLineEdit* Field(const char* key) const; // "Organisation", "Logo", "Project", ...
    QLabel* LogoPreview() const { return logoPreview_; }
    void BrowseLogo();

public slots:
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString Text(const char* key) const;
    // The logo's picture, or its refusal told; true when there is none or it is usable.
    bool CheckLogo(bool tell);

    IDialogs& dialogs_;
    std::function<QString(const QString&)> extra_;
    std::vector<std::pair<const char*, QLineEdit*>> fields_;
    QLineEdit* logo_;
    QPushButton* browse_;
    QPushButton* clearLogo_;
    QLabel* logoPreview_;
    QDialogButtonBox* buttons_;
};

} // namespace lum1
