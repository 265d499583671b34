#pragma once
// The screen image window: asks the exchange thread for the gauge's display, shows the picture,
// saves it as Screenshot.bmp in the program folder and puts it on the clipboard; the user may
// copy it again, save it under another name, or click it to read the display once more.

#include "screen/ScreenContext.h"
#include "screen/ScreenImage.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

class QFrame;
class QPushButton;

namespace lum1 {

class TScreenImageView;
class TUSBExchange;

class TfrmScreenshot : public QWidget {
    Q_OBJECT
public:
    // Runs FormCreate: captions, position. The first read is the creator's call to
    // BtnGetPictureClick once the window is shown. Made with new: a closed window releases
    // itself once no read of its own is waiting.
    TfrmScreenshot(TScreenContext& context, QWidget* parent);
    ~TfrmScreenshot() override;

    // Reads the gauge's screen and shows the picture; returns at once while any screen window
    // is reading. The window stays usable meanwhile.
    void BtnGetPictureClick();
    void btnCopyClick();
    void btnSaveClick();
    void BtnCloseClick() { close(); }

    QString ScreenshotFileName;

    QFrame* Bevel1;
    TScreenImageView* DeviceV1ScreenShotImage;
    TScreenImageView* DeviceV2ScreenShotImage;
    QPushButton* BtnExit;
    QPushButton* btnCopy;
    QPushButton* btnSave;

    // The designed client area, before a picture sets the window's size.
    static constexpr int DesignedWidth = 829;
    static constexpr int DesignedHeight = 545;

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FormCreate();
    void FormClose();
    void ShowPicture(const TScreenPicture& picture, bool deviceV2);
    // Lets this closed window's read go; true once the wait for it may end.
    bool AbandonRead(TUSBExchange& exchange);
    TScreenImageView* VisibleImage() const;
    QString Extra(const QString& key) const;
    void Status(const QString& text) const;

    TScreenContext& context_;
    // The exchange thread writes here during a read; shared with the exchange so that closing
    // the window can never free it under the thread.
    std::shared_ptr<std::vector<uint8_t>> buffer_;
    bool busy_ = false;      // inside BtnGetPictureClick: the window must outlive it
    bool closed_ = false;    // closed by the user; released as soon as it is not busy
    bool ownRead_ = false;   // this window's read is the one under way
    bool withdrawn_ = false; // its request was taken back before the thread took it up
};

} // namespace lum1
