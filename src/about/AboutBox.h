#pragma once
// The About window: program title, version and build date, the maker's line, and the
// distributor's telephone numbers, web site and e-mail boxes as links.

#include "about/VendorFile.h"

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;
class QUrl;

namespace lum1 {

class TLinkLabel;

struct TAboutContext {
    std::function<QString(const QString&)> Msg; // the current language file
    bool EnglishUI = false;
    std::function<void()> Help;
    // Hands a link to the desktop; the result is not looked at.
    std::function<void(const QUrl&)> OpenUrl;
    QString VendorFilePath;
    QString FileVersion; // empty: this build's
    QString BuildDate;   // empty: this build's
};

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    // Fills every text (FormCreate).
    TAboutBox(TAboutContext context, QWidget* parent);

    void LabelEMailClick(const TLinkLabel* label);
    void LabelWWWClick();

    QFrame* Panel1;
    TLinkLabel* ProgramIcon;
    QLabel *ProductName, *Version, *txtCopyright, *LabelFax, *Comments, *LabelMulti, *LabelMulti2, *LabelSite,
        *LabelInfo, *LabelTech, *LabelService;
    TLinkLabel *LabelWWW, *LabelEMail, *Label1, *Label3;
    QPushButton* OKButton;

    static constexpr int ClientWidth = 314;
    static constexpr int ClientHeight = 264;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void FormActivate();
    void ShowVendorDetails(const TVendorInfo& vendor);

    TAboutContext context_;
};

} // namespace lum1
