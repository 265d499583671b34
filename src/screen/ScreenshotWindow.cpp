#include "screen/ScreenshotWindow.h"

#include "device/USBExchange.h"
#include "platform/Dialogs.h"
#include "platform/FileError.h"
#include "platform/IniFile.h"
#include "screen/BmpFile.h"
#include "screen/ScreenImageView.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace lum1 {

namespace {

const QString kScreenshot = QStringLiteral("Screenshot");
const QString kConfig = QStringLiteral("Config");

struct Texts {
    const char16_t* caption;
    const char16_t* copy;
    const char16_t* copyTip;
    const char16_t* save;
    const char16_t* saveTip;
    const char16_t* exitTip;
    const char16_t* imageTip;
    const char16_t* imageName;
};

constexpr Texts kEnglish{u"Screenshot",
                         u"Copy to clipboard",
                         u"Put the picture on the clipboard",
                         u"Save to file...",
                         u"Save the picture under a name of your choice",
                         u"Close the window",
                         u"Click to read the gauge's screen again",
                         u"Picture of the gauge's screen"};
constexpr Texts kRussian{u"Экран прибора",
                         u"Копировать в буфер",
                         u"Поместить изображение в буфер обмена",
                         u"Сохранить в файл...",
                         u"Сохранить изображение под выбранным именем",
                         u"Закрыть окно",
                         u"Щёлкните, чтобы считать экран прибора ещё раз",
                         u"Изображение экрана прибора"};

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Clamps of the stored position; the 25-pixel lift applies to the top edge only.
int ClampLeft(int left, int room) {
    if (left > room)
        return room;
    return left < 0 ? 0 : left;
}

int ClampTop(int top, int room) {
    if (top > room)
        return room - 25;
    return top < 0 ? 0 : top;
}

QString WithSeparator(const QString& folder) {
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The exchange thread hands each of the picture's blocks to this thread as a progress step and
// waits for it; serving them only between 1 ms polls would stretch a read of 18000 blocks to
// 20 seconds. An event loop that runs for a few milliseconds at a time takes each hand-over as
// soon as it arrives and sleeps while nothing does.
void RunEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

TfrmScreenshot::TfrmScreenshot(TScreenContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      context_(context), buffer_(std::make_shared<std::vector<uint8_t>>(ScreenImageBytesV2, uint8_t{0})) {
    setObjectName(QStringLiteral("frmScreenshot"));
    setFixedSize(DesignedWidth, DesignedHeight);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 8, PictureWidthV1, PictureHeight);
    DeviceV1ScreenShotImage = new TScreenImageView(PictureWidthV1, PictureHeight, this);
    DeviceV1ScreenShotImage->setObjectName(QStringLiteral("DeviceV1ScreenShotImage"));
    DeviceV1ScreenShotImage->move(8, 8);
    DeviceV2ScreenShotImage = new TScreenImageView(PictureWidthV2, PictureHeight, this);
    DeviceV2ScreenShotImage->setObjectName(QStringLiteral("DeviceV2ScreenShotImage"));
    DeviceV2ScreenShotImage->move(8, 8);

    BtnExit = new QPushButton(QStringLiteral("ОК"), this);
    BtnExit->setObjectName(QStringLiteral("BtnExit"));
    BtnExit->setGeometry(714, 512, 75, 25);
    btnCopy = new QPushButton(this);
    btnCopy->setObjectName(QStringLiteral("btnCopy"));
    btnCopy->setGeometry(34, 512, 119, 25);
    btnSave = new QPushButton(this);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setGeometry(159, 512, 119, 25);

    connect(DeviceV1ScreenShotImage, &TScreenImageView::clicked, this, [this] { BtnGetPictureClick(); });
    connect(DeviceV2ScreenShotImage, &TScreenImageView::clicked, this, [this] { BtnGetPictureClick(); });
    connect(btnCopy, &QPushButton::clicked, this, [this] { btnCopyClick(); });
    connect(btnSave, &QPushButton::clicked, this, [this] { btnSaveClick(); });
    connect(BtnExit, &QPushButton::clicked, this, [this] { BtnCloseClick(); });
    // F1 reaches the window from whichever of its controls has the focus.
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(BtnExit),
                       static_cast<QWidget*>(btnCopy), static_cast<QWidget*>(btnSave)})
        w->installEventFilter(this);

    FormCreate();
}

TfrmScreenshot::~TfrmScreenshot() = default;

void TfrmScreenshot::FormCreate() {
    const bool english = context_.EnglishUI && context_.EnglishUI();
    const Texts& t = english ? kEnglish : kRussian;
    setWindowTitle(T(t.caption));
    setAccessibleName(T(t.caption));
    btnCopy->setText(T(t.copy));
    btnCopy->setToolTip(T(t.copyTip));
    btnCopy->setAccessibleName(T(t.copy));
    btnSave->setText(T(t.save));
    btnSave->setToolTip(T(t.saveTip));
    btnSave->setAccessibleName(T(t.save));
    BtnExit->setToolTip(T(t.exitTip));
    BtnExit->setAccessibleName(T(t.exitTip));
    for (TScreenImageView* image : {DeviceV1ScreenShotImage, DeviceV2ScreenShotImage}) {
        image->setToolTip(T(t.imageTip));
        image->setAccessibleName(T(t.imageName));
        image->setAccessibleDescription(T(t.imageTip));
    }

    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : QSize(1024, 768);
    const int roomX = area.width() - DesignedWidth, roomY = area.height() - DesignedHeight;
    int left = roomX / 2, top = roomY / 2;
    if (TIniFile* ini = context_.Settings ? context_.Settings() : nullptr) {
        left = ini->ReadInteger(kScreenshot, QStringLiteral("Left"), left);
        top = ini->ReadInteger(kScreenshot, QStringLiteral("Top"), top);
    }
    move(ClampLeft(left, roomX), ClampTop(top, roomY));

    DeviceV1ScreenShotImage->hide();
    DeviceV2ScreenShotImage->hide();
}

void TfrmScreenshot::BtnGetPictureClick() {
    if (context_.ScreenReading || closed_)
        return;
    TUSBExchange* exchange = context_.Exchange ? context_.Exchange() : nullptr;
    if (!exchange || exchange->StopRequested() || !exchange->SetScreenBuffer(buffer_))
        return;
    context_.ScreenReading = true;
    busy_ = true;
    ownRead_ = true;
    withdrawn_ = false;
    const bool received = exchange->RunAndWait(
        TOperation::ScreenRead, [] { RunEventLoopFor(10); },
        [this, exchange] { return closed_ && AbandonRead(*exchange); });
    ownRead_ = false;
    if (closed_) {
        // Nothing was saved or copied: an older Screenshot.bmp must not pass for this read's.
        if (!exchange->StopRequested())
            Status(
                Extra(QStringLiteral("ScreenReadAbandoned"))
                    .arg(QDir::toNativeSeparators(context_.ProgramDir + QStringLiteral("/Screenshot.bmp"))));
    } else if (received) {
        const bool deviceV2 = context_.DeviceV2 && context_.DeviceV2->load();
        ShowPicture(DecodeScreenImage(*buffer_, deviceV2), deviceV2);
    }
    context_.ScreenReading = false;
    busy_ = false;
    if (closed_)
        deleteLater();
}

// A closed window wants nothing from its read. A request the thread has not taken up yet is
// taken back, and the wait ends at once. A search for a missing gauge is stopped: the thread
// goes idle on its next pass, which ends the wait. A block loop under way runs to its end into
// the buffer the exchange shares (a gauge cut off in mid-picture would send the rest into the
// next exchange), and its picture is not used.
bool TfrmScreenshot::AbandonRead(TUSBExchange& exchange) {
    if (withdrawn_ || exchange.WithdrawRequest(TOperation::ScreenRead)) {
        withdrawn_ = true;
        return true;
    }
    int reading = stReadScreen;
    exchange.USBState.compare_exchange_strong(reading, stIdle);
    return false;
}

QString TfrmScreenshot::Extra(const QString& key) const {
    return context_.Extra ? context_.Extra(key) : key;
}

void TfrmScreenshot::Status(const QString& text) const {
    if (context_.SetStatusBarGeneral)
        context_.SetStatusBarGeneral(text);
}

void TfrmScreenshot::ShowPicture(const TScreenPicture& picture, bool deviceV2) {
    DeviceV1ScreenShotImage->hide();
    DeviceV2ScreenShotImage->hide();
    TScreenImageView* image = deviceV2 ? DeviceV2ScreenShotImage : DeviceV1ScreenShotImage;
    image->Draw(picture);

    Bevel1->resize(image->size());
    BtnExit->move(Bevel1->x() + Bevel1->width() / 2 - BtnExit->width() / 2, Bevel1->height() + 24);
    setFixedSize(Bevel1->width() + 16, BtnExit->y() + BtnExit->height() + 16);
    image->show();

    ScreenshotFileName = context_.ProgramDir + QStringLiteral("/Screenshot.bmp");
    const QString failure = WriteBmp24(picture, ScreenshotFileName);
    QGuiApplication::clipboard()->setImage(image->Picture());
    const QString path = QDir::toNativeSeparators(ScreenshotFileName);
    const QString key =
        failure.isEmpty() ? QStringLiteral("USBScreenReaded") : QStringLiteral("USBErrSaveFile");
    const QString msg = context_.Msg ? context_.Msg(key) : QString();
    if (!failure.isEmpty()) {
        Status(msg + u' ' + path + QStringLiteral(": ") +
               DescribeFileError(ScreenshotFileName, failure,
                                 [this](const QString& key) { return Extra(key); }));
        return;
    }
    // Said only now that the file and the clipboard hold the picture, with the file's full path
    // (the folder depends on where the program keeps its files).
    const QString bare = QStringLiteral("Screenshot.bmp");
    Status(msg.contains(bare) ? QString(msg).replace(bare, path) : msg + QStringLiteral(" (") + path + u')');
}

TScreenImageView* TfrmScreenshot::VisibleImage() const {
    if (DeviceV2ScreenShotImage->isVisibleTo(this))
        return DeviceV2ScreenShotImage;
    if (DeviceV1ScreenShotImage->isVisibleTo(this))
        return DeviceV1ScreenShotImage;
    return nullptr;
}

void TfrmScreenshot::btnCopyClick() {
    if (const TScreenImageView* image = VisibleImage(); image && !image->Picture().isNull())
        QGuiApplication::clipboard()->setImage(image->Picture());
}

void TfrmScreenshot::btnSaveClick() {
    if (ScreenshotFileName.isEmpty() || !context_.Dialogs)
        return;
    const TScreenImageView* image = VisibleImage();
    if (!image || image->Picture().isNull())
        return;
    TIniFile* ini = context_.Settings ? context_.Settings() : nullptr;
    QString folder = ini ? ini->ReadString(kConfig, QStringLiteral("LastReadPath"), QString()) : QString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = context_.ProgramDir + u'/';
    folder = WithSeparator(folder);

    FileDialogRequest request;
    request.parent = this;
    request.title = context_.Msg ? context_.Msg(QStringLiteral("SaveAs")) : QString();
    request.directory = folder;
    request.fileName = folder + QStringLiteral("Screenshot.bmp");
    const std::optional<QString> chosen = context_.Dialogs->SaveFileName(request);
    if (!chosen)
        return;
    const QFileInfo file(*chosen);
    if (ini) {
        try {
            ini->WriteString(kConfig, QStringLiteral("LastReadPath"), WithSeparator(file.absolutePath()));
        } catch (const EIniWriteError& e) {
            if (context_.ReportWriteError)
                context_.ReportWriteError(e, this);
        }
    }
    // The picture as it is shown, whatever extension the chosen name has.
    const QImage& shown = image->Picture();
    TScreenPicture picture;
    picture.Width = shown.width();
    picture.Height = shown.height();
    picture.Pixels.resize(static_cast<std::size_t>(picture.Width) * picture.Height);
    for (int y = 0; y < picture.Height; ++y)
        std::copy_n(reinterpret_cast<const uint32_t*>(shown.constScanLine(y)), picture.Width,
                    picture.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * picture.Width);
    const QString path = file.absoluteFilePath();
    if (const QString failure = WriteBmp24(picture, path); !failure.isEmpty()) {
        MessageRequest r;
        r.parent = this;
        r.caption = context_.ApplicationTitle ? context_.ApplicationTitle() : windowTitle();
        r.text =
            Extra(QStringLiteral("FileWriteFailed"))
                .arg(QDir::toNativeSeparators(path),
                     DescribeFileError(path, failure, [this](const QString& key) { return Extra(key); }));
        r.icon = MsgIcon::Error;
        context_.Dialogs->Message(r);
    }
}

void TfrmScreenshot::closeEvent(QCloseEvent* e) {
    e->accept();
    if (closed_)
        return;
    FormClose();
}

void TfrmScreenshot::FormClose() {
    closed_ = true;
    // The window goes at once, whatever its read is doing or the settings file answers; the
    // position stays known after the hide.
    hide();
    if (TIniFile* ini = context_.Settings ? context_.Settings() : nullptr) {
        try {
            ini->WriteStrings(kScreenshot, {{QStringLiteral("Left"), QString::number(x())},
                                            {QStringLiteral("Top"), QString::number(y())}});
        } catch (const EIniWriteError& e) {
            if (context_.ReportWriteError)
                context_.ReportWriteError(e, nullptr);
        }
    }
    // Only this window's own read is let go, without waiting for it; a window whose request was
    // refused has nothing to abandon. The window is released once its wait has returned.
    TUSBExchange* exchange = context_.Exchange ? context_.Exchange() : nullptr;
    if (exchange && ownRead_)
        AbandonRead(*exchange);
    if (!busy_)
        deleteLater();
}

bool TfrmScreenshot::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1) {
        if (context_.Help)
            context_.Help();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace lum1
