// The screen window in the program, against the simulated gauge loaded through the real
// loading code: both versions, a click during a read, a close while the gauge never answers,
// an unwritable Screenshot.bmp and the save-as folder.
#include "screen/ScreenshotWindow.h"
#include "app/DeviceLink.h"
#include "app/MainWindow.h"
#include "app/StatusStrip.h"
#include "device/USBExchange.h"
#include "diag/StatusWindow.h"
#include "platform/IniFile.h"
#include "screen/ScreenContext.h"
#include "screen/ScreenImage.h"
#include "screen/ScreenImageView.h"

#include "DefaultGauge.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

namespace lum1 {
namespace {

void* SimSymbol(const char* name) {
    void* handle = ::dlopen(LUM1_SIM_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    return handle ? ::dlsym(handle, name) : nullptr;
}

void LoadScenario(const char* text) {
    auto load = reinterpret_cast<int (*)(const char*)>(SimSymbol("lum1sim_load_scenario"));
    ASSERT_NE(load, nullptr);
    ASSERT_EQ(load(text), 0);
}

void WaitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The program with its exchange thread on the simulator, English, in a temporary folder.
class ScreenWindow : public ::testing::Test {
protected:
    ScreenWindow() {
        dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        hooks.openUrl = [this](const QUrl& url, TOpenFailed) { helpOpened << url.toString(); };
        hooks.usbLibraryName = LUM1_SIM_LIBRARY;
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        WaitUntil([this] { return Exchange().USBState.load() == stIdle; });
    }
    ~ScreenWindow() override {
        form->FormClose();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TUSBExchange& Exchange() { return *form->Device().Exchange(); }
    TScreenContext& Context() { return *form->ScreenContext(); }
    TfrmScreenshot* Newest() { return form->ScreenContext() ? Context().frmScreenshot.data() : nullptr; }
    // What the status line has said: the history while the program runs, else the status line.
    QString Said() const {
        return form->frmStatus() ? form->frmStatus()->Text() : form->StatusBar1->Panel0Text();
    }
    int Progress() const { return form->StatusBar1->ProgressBar1->value(); }
    // Runs action once the read under way has passed a tenth of its blocks. The exchange thread
    // waits for every progress step to be shown, so the read cannot end before action runs.
    void WhenATenthIsRead(QTimer& probe, std::function<void()> action) {
        QObject::connect(&probe, &QTimer::timeout, [this, &probe, action] {
            if (Context().ScreenReading && Progress() >= 100) {
                probe.stop();
                action();
            }
        });
        probe.start(2);
    }
    static QSize ClientSize(const QWidget* w) { return w->size(); }

    // The picture the simulated gauge of a version sends, as the window must show it.
    static TScreenPicture Expected(int version) {
        return DecodeScreenImage(sim::MakeScreenPicture(version), version == 2);
    }
    static int DifferentPixels(const QImage& image, const TScreenPicture& p) {
        if (image.size() != QSize(p.Width, p.Height))
            return -1;
        int wrong = 0;
        for (int y = 0; y < p.Height; ++y)
            for (int x = 0; x < p.Width; ++x)
                wrong += (image.pixel(x, y) | 0xFF000000u) != p.At(x, y);
        return wrong;
    }

    test::TempDir dir;
    std::unique_ptr<Program> program;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
    QStringList helpOpened;
};

TEST_F(ScreenWindow, Version1ThenAClickBringsVersion2AndTheWindowGrows) {
    LoadScenario("[gauge]\nversion = 1\n");
    bool progressSeen = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        progressSeen = progressSeen || form->StatusBar1->ProgressBar1->isVisibleTo(form.get());
    });
    probe.start(2);
    form->AScreenshotExecute();
    probe.stop();
    TfrmScreenshot* w = Newest();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(progressSeen);
    EXPECT_FALSE(Context().ScreenReading);
    EXPECT_TRUE(w->DeviceV1ScreenShotImage->isVisibleTo(w));
    EXPECT_FALSE(w->DeviceV2ScreenShotImage->isVisibleTo(w));
    EXPECT_EQ(ClientSize(w), QSize(664, 553));
    EXPECT_EQ(w->BtnExit->pos(), QPoint(295, 512));
    EXPECT_EQ(w->ScreenshotFileName, dir.File("Screenshot.bmp"));
    // Said once the file and the clipboard hold the picture, naming where the file is.
    EXPECT_EQ(form->StatusBar1->Panel0Text(), "The image display device is read to file \"" +
                                                  dir.File("Screenshot.bmp") + "\" and to clipboard");
    QImage saved(dir.File("Screenshot.bmp"), "BMP");
    EXPECT_EQ(DifferentPixels(saved, Expected(1)), 0);
    EXPECT_EQ(DifferentPixels(QGuiApplication::clipboard()->image(), Expected(1)), 0);

    LoadScenario("[gauge]\nversion = 2\n");
    QTest::mouseClick(w->DeviceV1ScreenShotImage, Qt::LeftButton);
    EXPECT_FALSE(w->DeviceV1ScreenShotImage->isVisibleTo(w));
    EXPECT_TRUE(w->DeviceV2ScreenShotImage->isVisibleTo(w));
    EXPECT_EQ(ClientSize(w), QSize(824, 553));
    EXPECT_EQ(w->BtnExit->pos(), QPoint(375, 512));
    EXPECT_EQ(w->Bevel1->size(), QSize(808, 488));
    saved = QImage(dir.File("Screenshot.bmp"), "BMP");
    EXPECT_EQ(DifferentPixels(saved, Expected(2)), 0);
    EXPECT_EQ(DifferentPixels(QGuiApplication::clipboard()->image(), Expected(2)), 0);

    // Copy puts the shown picture back on the clipboard.
    QGuiApplication::clipboard()->setText("other");
    w->btnCopy->click();
    EXPECT_EQ(DifferentPixels(QGuiApplication::clipboard()->image(), Expected(2)), 0);
}

TEST_F(ScreenWindow, DuringAReadAClickAndANewWindowStartNothing) {
    LoadScenario("[gauge]\nversion = 2\n");
    form->AScreenshotExecute();
    TfrmScreenshot* first = Newest();
    ASSERT_NE(first, nullptr);
    // The exchange thread counts the first read's end after the window has its picture; on a
    // loaded machine that comes later.
    ASSERT_TRUE(QTest::qWaitFor([this] { return Exchange().OperationEnds(TOperation::ScreenRead) >= 1; }));
    const unsigned readsBefore = Exchange().OperationEnds(TOperation::ScreenRead);

    // A slow link: the next read takes about a second.
    LoadScenario("[gauge]\nversion = 2\nlatency_us = 20\n");
    qint64 nestedClickMs = -1;
    TfrmScreenshot* second = nullptr;
    QTimer::singleShot(100, [&] {
        EXPECT_TRUE(Context().ScreenReading);
        QElapsedTimer t;
        t.start();
        QTest::mouseClick(first->DeviceV2ScreenShotImage, Qt::LeftButton);
        nestedClickMs = t.elapsed();
        form->AScreenshotExecute(); // returns at once: its read is refused
        second = Newest();
    });
    QTest::mouseClick(first->DeviceV2ScreenShotImage, Qt::LeftButton);
    EXPECT_GE(nestedClickMs, 0);
    EXPECT_LT(nestedClickMs, 200);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_FALSE(second->DeviceV1ScreenShotImage->isVisibleTo(second));
    EXPECT_FALSE(second->DeviceV2ScreenShotImage->isVisibleTo(second));
    EXPECT_TRUE(second->ScreenshotFileName.isEmpty());
    // One read more, whose end the exchange thread counts after the picture came; then no other.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return Exchange().OperationEnds(TOperation::ScreenRead) >= readsBefore + 1; }));
    EXPECT_EQ(Exchange().OperationEnds(TOperation::ScreenRead), readsBefore + 1);
    EXPECT_FALSE(Context().ScreenReading);

    // The refused window has no read to abandon: closing it leaves the gauge alone.
    second->close();
    EXPECT_EQ(Exchange().USBState.load() == stReadScreen, false);
}

TEST_F(ScreenWindow, ClosingWhileTheGaugeNeverAnswersEndsTheWait) {
    LoadScenario("[gauge]\nversion = 2\nplugged = 0\n");
    qint64 closedAt = -1;
    QElapsedTimer clock;
    clock.start();
    QPointer<TfrmScreenshot> window;
    QTimer::singleShot(300, [&] {
        window = Newest();
        ASSERT_TRUE(window);
        EXPECT_TRUE(Context().ScreenReading);
        window->close();
        closedAt = clock.elapsed();
    });
    form->AScreenshotExecute();
    const qint64 waitEnded = clock.elapsed();
    ASSERT_GE(closedAt, 0);
    // The close stops the search at once; the wait ends on the thread's next pass.
    EXPECT_LT(closedAt, 300 + 1300);
    EXPECT_LT(waitEnded - closedAt, 1000);
    EXPECT_FALSE(Context().ScreenReading);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(QFile::exists(dir.File("Screenshot.bmp")));

    // The gauge comes back: a new window reads normally.
    auto plug = reinterpret_cast<void (*)(int, int)>(SimSymbol("lum1sim_set_plugged"));
    ASSERT_NE(plug, nullptr);
    plug(0, 1);
    form->AScreenshotExecute();
    ASSERT_NE(Newest(), nullptr);
    EXPECT_TRUE(Newest()->DeviceV2ScreenShotImage->isVisibleTo(Newest()));
    EXPECT_TRUE(QFile::exists(dir.File("Screenshot.bmp")));
}

TEST_F(ScreenWindow, AnUnwritableScreenshotFileIsReportedAndTheWindowReadsAgain) {
    LoadScenario("[gauge]\nversion = 2\n");
    dir.Write("Screenshot.bmp", "old");
    test::SetReadOnly(dir.File("Screenshot.bmp"), true);
    QGuiApplication::clipboard()->setText("before");
    form->AScreenshotExecute();
    TfrmScreenshot* w = Newest();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->DeviceV2ScreenShotImage->isVisibleTo(w));
    EXPECT_EQ(DifferentPixels(QGuiApplication::clipboard()->image(), Expected(2)), 0);
    WaitUntil([this] { return Exchange().CurrentOperation() == TOperation::None; });
    EXPECT_TRUE(form->StatusBar1->Panel0Text().startsWith("The program could not save the file " +
                                                          dir.File("Screenshot.bmp") + ": no permission"))
        << form->StatusBar1->Panel0Text().toStdString();
    // Only the failure: no line ever said the file was written.
    EXPECT_FALSE(Said().contains("read to file")) << Said().toStdString();
    EXPECT_EQ(dir.Read("Screenshot.bmp"), "old");
    EXPECT_FALSE(Context().ScreenReading);

    test::SetReadOnly(dir.File("Screenshot.bmp"), false);
    QTest::mouseClick(w->DeviceV2ScreenShotImage, Qt::LeftButton);
    EXPECT_EQ(QImage(dir.File("Screenshot.bmp"), "BMP").size(), QSize(808, 488));
}

// A read abandoned at any moment claims no picture: the old Screenshot.bmp and the clipboard
// stay as they were, nothing says they are new, and the wait ends.
struct AbandonCase {
    const char* name;
    const char* faults;
    const char* said; // the last words of the status line; empty: not checked
};

class AbandonedRead : public ScreenWindow, public ::testing::WithParamInterface<AbandonCase> {};

TEST_P(AbandonedRead, ClaimsNothingAndEndsTheWait) {
    const AbandonCase& c = GetParam();
    LoadScenario((std::string("[gauge]\nversion = 2\nlatency_us = 50\n") + c.faults).c_str());
    dir.Write("Screenshot.bmp", "old");
    QGuiApplication::clipboard()->setText("before");
    QTimer probe;
    if (c.name == std::string("WindowClosed"))
        WhenATenthIsRead(probe, [this] { Newest()->close(); });
    else if (c.name == std::string("ProgramClosed"))
        WhenATenthIsRead(probe, [this] { form->FormClose(); });
    form->AScreenshotExecute();
    WaitUntil([this] { return Exchange().CurrentOperation() == TOperation::None; });
    EXPECT_FALSE(Context().ScreenReading);
    EXPECT_EQ(dir.Read("Screenshot.bmp"), "old");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    EXPECT_FALSE(Said().contains("read to file")) << Said().toStdString();
    if (*c.said) {
        EXPECT_TRUE(form->StatusBar1->Panel0Text().endsWith(
            QString::fromUtf8(c.said).arg(dir.File("Screenshot.bmp"))))
            << form->StatusBar1->Panel0Text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Moments, AbandonedRead,
    ::testing::Values(
        AbandonCase{"WindowClosed", "",
                    "the window was closed before the read ended. The file %1 and the clipboard "
                    "were not changed"},
        AbandonCase{"GaugeUnplugged", "unplug_at = 5000\n", "LibUsb: Нет такого устройства"},
        AbandonCase{"ProgramClosed", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// The title bar's close takes effect at once, whatever the read is doing: nothing else runs
// before the window is gone. The read goes on into the window's buffer, which the exchange
// shares, and the next window reads normally.
TEST_F(ScreenWindow, TheTitleBarCloseHidesTheWindowAtOnceDuringItsRead) {
    LoadScenario("[gauge]\nversion = 2\nlatency_us = 50\n");
    QPointer<TfrmScreenshot> window;
    bool seenBeforeTheCloseEnded = false, hiddenAfter = false, readingAfter = false;
    QTimer probe;
    WhenATenthIsRead(probe, [&] {
        window = Newest();
        QTimer::singleShot(0, [&] { seenBeforeTheCloseEnded = !hiddenAfter; });
        QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
            window->windowHandle());
        hiddenAfter = window && !window->isVisible();
        readingAfter = Context().ScreenReading;
    });
    form->AScreenshotExecute();
    EXPECT_TRUE(hiddenAfter);
    EXPECT_FALSE(seenBeforeTheCloseEnded);
    EXPECT_TRUE(readingAfter);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());

    LoadScenario("[gauge]\nversion = 1\n");
    WaitUntil([this] { return Exchange().CurrentOperation() == TOperation::None; });
    form->AScreenshotExecute();
    ASSERT_NE(Newest(), nullptr);
    EXPECT_TRUE(Newest()->DeviceV1ScreenShotImage->isVisibleTo(Newest()));
    EXPECT_EQ(QImage(dir.File("Screenshot.bmp"), "BMP").size(), QSize(648, 488));
}

// In the Russian interface: the dialog and its error box stand over the screen window, and a
// file that cannot be written is told in Russian words, the system's text (if any) after them.
TEST_F(ScreenWindow, SaveAsIsOwnedByTheScreenWindowAndFailsInTheInterfaceLanguage) {
    form->ALangRusExecute();
    LoadScenario("[gauge]\nversion = 1\n");
    form->AScreenshotExecute();
    TfrmScreenshot* w = Newest();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QDir(dir.Path()).mkdir("locked"));
    test::SetReadOnly(dir.File("locked"), true);
    struct Case {
        QString file;
        const char* reason; // the words after the file's name
        bool systemText;
    };
    const Case cases[] = {
        {dir.File("locked/gauge.bmp"), "нет прав на запись в эту папку или в этот файл", false},
        {dir.File("gone/gauge.bmp"), "такой папки нет (сообщение системы: ", true},
    };
    for (const Case& c : cases) {
        dialogs.fileRequests.clear();
        dialogs.messages.clear();
        dialogs.fileAnswers.push_back(c.file);
        w->btnSave->click();
        ASSERT_EQ(dialogs.fileRequests.size(), 1u);
        EXPECT_EQ(dialogs.fileRequests[0].parent, w);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].parent, w);
        const QString text = dialogs.messages[0].text;
        EXPECT_TRUE(text.startsWith(QString::fromUtf8("Не удается записать файл \"") + c.file +
                                    "\": " + QString::fromUtf8(c.reason)))
            << text.toStdString();
        EXPECT_EQ(text.endsWith(u')'), c.systemText) << text.toStdString();
        EXPECT_FALSE(QFile::exists(c.file));
    }
    test::SetReadOnly(dir.File("locked"), false);
}

TEST_F(ScreenWindow, SaveAsStartsInTheLastFolderOrTheProgramFolder) {
    LoadScenario("[gauge]\nversion = 1\n");
    form->AScreenshotExecute();
    TfrmScreenshot* w = Newest();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(QDir(dir.Path()).mkdir("pictures"));
    struct Case {
        QString stored, proposed;
    };
    const Case cases[] = {
        {dir.File("pictures"), dir.File("pictures/Screenshot.bmp")}, // separator added
        {dir.File("pictures/"), dir.File("pictures/Screenshot.bmp")},
        {dir.File("gone"), dir.File("Screenshot.bmp")}, // no longer there: the program folder
        {QString(), dir.File("Screenshot.bmp")},
    };
    for (const Case& c : cases) {
        program->SettingsIni->WriteString("Config", "LastReadPath", c.stored);
        dialogs.fileRequests.clear();
        w->btnSave->click();
        ASSERT_EQ(dialogs.fileRequests.size(), 1u);
        EXPECT_EQ(dialogs.fileRequests[0].fileName, c.proposed) << c.stored.toStdString();
        EXPECT_EQ(dialogs.fileRequests[0].title, "Save as...");
        // Cancelled: the stored folder stays as it was.
        EXPECT_EQ(program->SettingsIni->ReadString("Config", "LastReadPath", "-"), c.stored);
    }

    // Confirmed: a bitmap whatever the extension, and the folder remembered.
    dialogs.fileAnswers.push_back(dir.File("pictures/gauge.png"));
    w->btnSave->click();
    EXPECT_EQ(dir.Read("pictures/gauge.png").left(2), "BM");
    EXPECT_EQ(QImage(dir.File("pictures/gauge.png"), "BMP").size(), QSize(648, 488));
    EXPECT_EQ(program->SettingsIni->ReadString("Config", "LastReadPath", "-"), dir.File("pictures") + "/");
}

TEST_F(ScreenWindow, BeforeAPictureCopyAndSaveDoNothingAndF1OpensTheHelp) {
    LoadScenario("[gauge]\nversion = 2\nplugged = 0\n");
    QTimer::singleShot(100, [&] {
        TfrmScreenshot* w = Newest();
        ASSERT_NE(w, nullptr);
        QGuiApplication::clipboard()->setText("untouched");
        w->btnCopy->click();
        w->btnSave->click();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
        EXPECT_TRUE(dialogs.fileRequests.empty());
        QTest::keyClick(w->btnCopy, Qt::Key_F1, Qt::ShiftModifier);
        QTest::keyClick(w, Qt::Key_F1, Qt::ControlModifier);
        EXPECT_EQ(helpOpened.size(), 2);
        w->BtnExit->click();
    });
    form->AScreenshotExecute();
    EXPECT_FALSE(Context().ScreenReading);
}

// Windows opened and closed quickly while reads run: nothing is drawn into a closed window,
// every wait ends, and the sanitizer builds see no fault.
TEST_F(ScreenWindow, ManyWindowsOpenedAndClosedDuringReads) {
    LoadScenario("[gauge]\nversion = 2\nlatency_us = 5\n");
    // Each step is its own timer, so steps fire inside the waits of earlier ones.
    int done = 0;
    for (int i = 0; i < 12; ++i)
        QTimer::singleShot(10 + 15 * i, [&, i] {
            if (TfrmScreenshot* w = Newest(); w && i % 3 == 2)
                w->close();
            else
                form->AScreenshotExecute();
            ++done;
        });
    WaitUntil([&] { return done == 12; }, 20000);
    EXPECT_EQ(done, 12);
    // Closing one window runs the event loop, which may release others meanwhile.
    QList<QPointer<TfrmScreenshot>> open;
    for (TfrmScreenshot* w : form->findChildren<TfrmScreenshot*>())
        open << w;
    for (const QPointer<TfrmScreenshot>& w : open)
        if (w)
            w->close();
    WaitUntil([&] { return !Context().ScreenReading; }, 5000);
    EXPECT_FALSE(Context().ScreenReading);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form->findChildren<TfrmScreenshot*>().isEmpty());
}

// The stored place is clamped to the screen with the designed size; the top edge keeps a
// 25-pixel lift when it was too low. Closing writes the place back.
TEST(ScreenWindowPlace, StoredPlaceIsClampedAndWrittenAtClose) {
    test::TempDir dir;
    TIniFile ini(dir.File("lum1.ini"));
    TScreenContext context;
    context.ProgramDir = dir.Path();
    context.EnglishUI = [] { return true; };
    context.Settings = [&ini] { return &ini; };
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const int roomX = screen.width() - TfrmScreenshot::DesignedWidth;
    const int roomY = screen.height() - TfrmScreenshot::DesignedHeight;
    struct Case {
        const char* left;
        const char* top;
        QPoint expected;
    };
    const Case cases[] = {
        {"99999", "99999", {roomX, roomY - 25}},
        {"-50", "-50", {std::max(0, std::min(-50, roomX)), std::max(0, std::min(-50, roomY))}},
    };
    for (const Case& c : cases) {
        ini.WriteString("Screenshot", "Left", c.left);
        ini.WriteString("Screenshot", "Top", c.top);
        TfrmScreenshot w(context, nullptr);
        EXPECT_EQ(w.pos(), c.expected) << c.left;
        EXPECT_EQ(w.windowTitle(), "Screenshot");
        EXPECT_EQ(w.BtnExit->text(), QString::fromUtf8("ОК"));
    }
    QPointer<TfrmScreenshot> w = new TfrmScreenshot(context, nullptr);
    w->move(12, 34);
    w->close();
    EXPECT_EQ(ini.ReadInteger("Screenshot", "Left", 0), 12);
    EXPECT_EQ(ini.ReadInteger("Screenshot", "Top", 0), 34);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(w.isNull()); // released when closed
}

} // namespace
} // namespace lum1
