// End to end: the real lum1 executable under Xvfb with the simulator library first on the
// library path. Ctrl+R reads the gauge; the table, selected with the keyboard and copied with
// Ctrl+C, reaches the X clipboard; File, Exit writes the settings and ends the program.
// Keys and clicks arrive as a keyboard and a mouse send them (XTEST), once the window has the
// focus; every wait is for a state the program shows (a file, the clipboard, a window), so the
// tests give the same result on a busy machine.
#include "results/MeasRecord.h"

#include "QtPrinters.h"
#include "RecordFixture.h"
#include "TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdio>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

namespace lum1 {
namespace {

TMeasRecord Record(uint16_t number, uint8_t h, uint8_t m, uint8_t s, uint8_t day, uint8_t month,
                   uint8_t year) {
    TMeasRecord r{};
    r.Number = number;
    r.Hours = h;
    r.Minutes = m;
    r.Seconds = s;
    r.Day = day;
    r.Month = month;
    r.Year = year;
    return r;
}

QByteArray Archive() {
    TMeasRecord a = test::SampleRecord(1); // 14:05:09, 5 May 2019, 2352 of 2400, 23.5 degrees
    test::SetShortText(a.ObjectName, "M-4");
    test::SetShortText(a.MaterialName, "SMA 11");
    a.Latitude = (5509 << 16) | 33314;
    a.Longitude = -(6124 << 16);

    TMeasRecord b = Record(2, 10, 20, DeletedMark, 1, 3, 20);
    test::SetShortText(b.MaterialName, QStringLiteral("Щебень"));
    b.Density = 999.996f;
    b.Temperature = -3.25f;
    b.AverNum = 0; // a device read shows 1

    TMeasRecord c = Record(65535, 9, 0, 0, 31, 12, 24);
    c.Density = 0.1234f;
    c.RefDensity = 2400;
    c.Mode = 2;
    c.Temperature = 0.5f;
    c.AverNum = 1;

    return test::RecordBytes(a) + test::RecordBytes(b) + test::RecordBytes(c);
}

// A full version-2 archive with texts of full length: its table is about 380 KB of text.
QByteArray LargeArchive() {
    QByteArray bytes;
    for (int i = 1; i <= MaxRecords; ++i) {
        TMeasRecord r = test::SampleRecord(static_cast<uint16_t>(i));
        test::SetShortText(r.ObjectName, QStringLiteral("Дорога М-4 км 120+350"));
        test::SetShortText(r.MaterialName, QStringLiteral("Асфальтобетон ЩМА-20"));
        r.Latitude = (5509 << 16) | 33314;
        r.Longitude = (3736 << 16) | 1200;
        bytes += test::RecordBytes(r);
    }
    return bytes;
}

// The server's errors (a focus asked for a window that has just gone) are the test's to judge.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"Xvfb", "xdotool", "xclip"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                FAIL() << tool << " is missing (scripts/setup-deps installs it)";
        // -noreset: the server stays up between the programs a test starts one after another.
        xvfb.start("Xvfb",
                   {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset"});
        ASSERT_TRUE(xvfb.waitForStarted());
        // Xvfb writes its display number and a newline once it accepts clients.
        QElapsedTimer t;
        t.start();
        while (!xvfb.canReadLine() && t.elapsed() < 30000)
            xvfb.waitForReadyRead(1000);
        ASSERT_TRUE(xvfb.canReadLine()) << "Xvfb gave no display number";
        display = ":" + QString::fromLatin1(xvfb.readLine()).trimmed();
        ASSERT_TRUE(WaitFor([&] { return !Tool("xdotool", {"getdisplaygeometry"}).isEmpty(); }, 20000))
            << "no X server at " << display.toStdString();
        // The program's folder holds its settings, language files and log: a copy of the
        // program in a folder of its own keeps the build folder clean.
        ASSERT_TRUE(QFile::copy(LUM1_EXECUTABLE, dir.File("lum1")));
        QFile::setPermissions(dir.File("lum1"), QFile::permissions(LUM1_EXECUTABLE));
        program.setProcessChannelMode(QProcess::ForwardedChannels); // its messages in the test's output
        XSetErrorHandler(IgnoreXError);
        x = XOpenDisplay(display.toLatin1().constData());
        ASSERT_NE(x, nullptr);
        int event = 0, error = 0, major = 0, minor = 0;
        ASSERT_TRUE(XTestQueryExtension(x, &event, &error, &major, &minor)) << "no XTEST on the server";
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
        if (x)
            XCloseDisplay(x);
        xvfb.terminate();
        xvfb.waitForFinished();
    }

    QProcessEnvironment Env() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.remove("QT_QPA_PLATFORM");
        env.insert("LC_ALL", "C.UTF-8");
        env.insert("XDG_RUNTIME_DIR", dir.Path());
        // Never the desktop's session bus: Qt's accessibility bridge would connect to it, and
        // an unset address lets libdbus start a bus of its own on the X display.
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + dir.File("no-session-bus"));
        // A later option wins: the X11 suppressions for this run. Qt starts the desktop's opener
        // (F1, the About links) with a child that shares the program's memory until it execs, so
        // ThreadSanitizer takes the program itself for a forked child and would end it at its
        // next new thread; the child only execs, so that check is off for the program.
        if (env.contains("TSAN_OPTIONS"))
            env.insert("TSAN_OPTIONS", env.value("TSAN_OPTIONS") +
                                           " die_after_fork=0 suppressions=" LUM1_E2E_TSAN_SUPPRESSIONS);
        return env;
    }
    // Runs a tool on the test's display and returns what it printed. A tool that runs long is
    // named in the output: on a busy machine that is where the time went.
    QString Tool(const QString& tool, const QStringList& args, int timeoutMs = 10000) {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.setProcessEnvironment(Env());
        p.start(tool, args);
        if (!p.waitForFinished(timeoutMs))
            std::fprintf(stderr, "%s %s gave no answer in %d ms\n", qPrintable(tool),
                         qPrintable(args.join(' ')), timeoutMs);
        else if (t.elapsed() > 2000)
            std::fprintf(stderr, "%s %s took %lld ms\n", qPrintable(tool), qPrintable(args.join(' ')),
                         static_cast<long long>(t.elapsed()));
        return QString::fromUtf8(p.readAllStandardOutput());
    }
    bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > timeoutMs)
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    // What the title bar's close button makes the window manager send: WM_DELETE_WINDOW.
    bool SendWindowManagerClose(const QString& window) {
        Display* d = XOpenDisplay(display.toLatin1().constData());
        if (!d)
            return false;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = window.toULong();
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        const bool sent = XSendEvent(d, e.xclient.window, False, NoEventMask, &e) != 0;
        XCloseDisplay(d);
        return sent;
    }
    // Gives the window the keyboard focus, as a window manager would, once the server shows it,
    // and waits until the server has moved the focus there: keys sent after that reach it.
    bool Focus(const QString& window) {
        const Window w = window.toULong();
        const bool viewable = WaitFor(
            [&] {
                XWindowAttributes a{};
                return XGetWindowAttributes(x, w, &a) && a.map_state == IsViewable;
            },
            30000);
        if (!viewable)
            return false;
        XSetInputFocus(x, w, RevertToParent, CurrentTime);
        XSync(x, False);
        return WaitFor(
            [&] {
                Window focused = 0;
                int revert = 0;
                XGetInputFocus(x, &focused, &revert);
                return focused == w;
            },
            10000);
    }
    // Key gestures such as "ctrl+Home": the keys pressed in order and released in reverse, as a
    // keyboard sends them, to the window that has the focus.
    void PressKeys(const QStringList& gestures) {
        for (const QString& gesture : gestures) {
            std::vector<KeyCode> codes;
            for (const QString& name : gesture.split('+')) {
                const QString sym = name == "ctrl"    ? "Control_L"
                                    : name == "shift" ? "Shift_L"
                                    : name == "alt"   ? "Alt_L"
                                                      : name;
                const KeyCode code = XKeysymToKeycode(x, XStringToKeysym(sym.toLatin1().constData()));
                ASSERT_NE(code, 0) << "no key for " << sym.toStdString();
                codes.push_back(code);
            }
            for (KeyCode c : codes)
                XTestFakeKeyEvent(x, c, True, CurrentTime);
            for (auto c = codes.rbegin(); c != codes.rend(); ++c)
                XTestFakeKeyEvent(x, *c, False, CurrentTime);
            XSync(x, False);
        }
    }
    // A left click at a point of the window, with the pointer moved there first.
    void Click(const QString& window, int px, int py) {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(x, window.toULong(), DefaultRootWindow(x), px, py, &rx, &ry, &child);
        XTestFakeMotionEvent(x, DefaultScreen(x), rx, ry, CurrentTime);
        XTestFakeButtonEvent(x, 1, True, CurrentTime);
        XTestFakeButtonEvent(x, 1, False, CurrentTime);
        XSync(x, False);
    }
    // A menu opened over the main window: the override-redirect window the server shows.
    bool WaitForPopup() {
        return WaitFor(
            [&] {
                Window root = 0, parent = 0, *children = nullptr;
                unsigned int n = 0;
                bool found = false;
                if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &n)) {
                    for (unsigned int i = 0; i < n && !found; ++i) {
                        XWindowAttributes a{};
                        found = XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable &&
                                a.override_redirect;
                    }
                    XFree(children);
                }
                return found;
            },
            30000);
    }
    QString Clipboard() { return Tool("xclip", {"-o", "-selection", "clipboard"}, 10000); }
    // Copies with keys to a focused window and waits until the clipboard holds `lines` lines.
    QString CopyByKeys(const QString& window, const QStringList& gestures, int lines) {
        EXPECT_TRUE(Focus(window)) << "the window never got the focus";
        PressKeys(gestures);
        QString clip;
        WaitFor(
            [&] {
                clip = Clipboard();
                return clip.count("\r\n") == lines;
            },
            60000);
        return clip;
    }
    // The title bar's close, once: every close must reach the window.
    void CloseByTitleBar(const QString& window) {
        QElapsedTimer t;
        t.start();
        ASSERT_TRUE(SendWindowManagerClose(window));
        EXPECT_TRUE(program.waitForFinished(30000)) << "the close was not honoured";
        if (t.elapsed() > 2000)
            std::fprintf(stderr, "the close took %lld ms\n", static_cast<long long>(t.elapsed()));
    }
    // The program's main window once it is on the screen; empty if the program ended first.
    QString WaitForMainWindow() {
        QString window;
        WaitFor(
            [&] {
                window = Tool("xdotool", {"search", "--onlyvisible", "--name", "Asphalt densitometer"})
                             .section('\n', 0, 0)
                             .trimmed();
                return !window.isEmpty() || program.waitForFinished(1);
            },
            60000); // generous: a sanitizer build starts slowly on a busy machine
        return window;
    }

    test::TempDir dir;
    QProcess xvfb, program;
    QString display;
    Display* x = nullptr;
};

TEST_F(EndToEnd, ReadTheGaugeCopyTheTableAndClose) {
    dir.Write("lum1.ini",
              "[Config]\r\nLangId=Eng\r\n[FormMain]\r\nLeft=0\r\nTop=0\r\nWidth=1100\r\nHeight=500\r\n"
              "[Debug]\r\nLogUSB=1\r\n");
    dir.Write("archive.lum1", Archive());
    dir.Write("scenario.txt", "[gauge]\nversion = 2\nparam = LUM-1.2 SN 4242\nrecords = file:" +
                                  dir.File("archive.lum1").toUtf8() + "\n");

    QProcessEnvironment env = Env();
    env.insert("LD_LIBRARY_PATH", LUM1_SIM_FOLDER);
    env.insert("LUM1_SIM_SCENARIO", dir.File("scenario.txt"));
    program.setProcessEnvironment(env);
    program.start(dir.File("lum1"), {});
    ASSERT_TRUE(program.waitForStarted());

    // A window found while it is not yet mapped cannot take the focus, and keys sent to a window
    // without it never reach the grid: the window is looked for once the server shows it.
    const QString window = WaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the program ended at start, exit code " << program.exitCode();
    ASSERT_TRUE(Focus(window));
    PressKeys({"ctrl+r"});

    // The exchange thread hands the table fill over and waits for it before it closes the
    // gauge: once the log says so, the table is filled.
    auto log = [&] { return QString::fromUtf8(dir.Read("LogUSB.log")); };
    ASSERT_TRUE(WaitFor([&] { return log().contains("Device closed!"); }, 60000)) << log().toStdString();

    // Keyboard only: to the first row, then extend the selection to the last.
    const QString clip =
        CopyByKeys(window, {"ctrl+Home", "Down", "Up", "shift+Down", "shift+Down", "ctrl+c"}, 3);
    ASSERT_EQ(clip.count("\r\n"), 3) << clip.toStdString();
    const QStringList lines = clip.split("\r\n");
    EXPECT_EQ(lines[0],
              "1\t14:05:09 (may  5, 2019)\t2352\t0.980\t2.0\t23.5\tM-4\t55°09'30.5\" N 61°24'00.0\" W\t"
              "SMA 11\t40\t3");
    EXPECT_EQ(lines[1], "2\t10:20:170 (mar  1, 2020)- deleted\t1000.00\t\t\t-3.3\t\t- -\tЩебень\t0\t1");
    EXPECT_EQ(lines[2], "65535\t 9:00:00 (dec 31, 2024)\t0.1234 (U)\t\t\t.5\t\t- -\t\t0\t1");
    EXPECT_EQ(lines[3], "");

    // The exchange log: loading, the search, the four-request sequence, the close.
    const QString text = log();
    for (const char* expected :
         {"LoadLibrary(\"libusb-0.1.so.4\");", "Device found!", "LibUsb WriteData(), 2 byte(s), OK (01 FE)",
          "LibUsb WriteData(), 2 byte(s), OK (02 FD)", "LibUsb ReadData(), 4 byte(s), OK (01 5A 03 00)",
          "LibUsb WriteData(), 2 byte(s), OK (03 FC)", "LibUsb ReadData(), 90 byte(s), OK (FF FF 00 00)",
          "Device closed!"})
        EXPECT_TRUE(text.contains(expected)) << expected;

    // File, Exit: the fourth item of the first menu (Open, Save, Print, Exit; the program's
    // own additions come after it), once the menu is on the screen.
    Click(window, 20, 10);
    ASSERT_TRUE(WaitForPopup()) << "the File menu did not open";
    PressKeys({"Down", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(program.waitForFinished(30000)) << "File, Exit did not end the program";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const QByteArray ini = dir.Read("lum1.ini");
    EXPECT_TRUE(ini.contains("Uses=1"));
    EXPECT_TRUE(ini.contains("ColWidth10="));
    EXPECT_TRUE(ini.contains("Maximized=0"));
    EXPECT_TRUE(QFile::exists(dir.File("Language/English.ini")));
}

TEST_F(EndToEnd, TitleBarCloseAtAnyMomentOfStartUpEndsTheProgram) {
    QProcessEnvironment env = Env();
    // No gauge: the system's libusb-0.1 finds none. The moments span the first start (the
    // language files written), the exchange thread's one-second start pause, the library load
    // and the idle passes after it.
    for (const int delayMs : {0, 500, 950, 1000, 1050, 1500, 2500}) {
        SCOPED_TRACE("close " + std::to_string(delayMs) + " ms after the window appeared");
        QDir(dir.File("Language")).removeRecursively();
        dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
        program.setProcessEnvironment(env);
        program.start(dir.File("lum1"), {});
        ASSERT_TRUE(program.waitForStarted());
        const QString window = WaitForMainWindow();
        ASSERT_FALSE(window.isEmpty()) << "the program ended at start, exit code " << program.exitCode();
        QThread::msleep(static_cast<unsigned long>(delayMs));
        ASSERT_TRUE(SendWindowManagerClose(window));
        EXPECT_TRUE(program.waitForFinished(10000)) << "the close was not honoured";
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
            continue;
        }
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
        EXPECT_TRUE(dir.Read("lum1.ini").contains("[FormMain]"));
    }
}

// The gauge's screen from the toolbar: the picture is saved as Screenshot.bmp beside the program
// and put on the X clipboard as an image.
TEST_F(EndToEnd, ReadTheGaugeScreenFromTheToolbar) {
    dir.Write("lum1.ini",
              "[Config]\r\nLangId=Eng\r\n[FormMain]\r\nLeft=0\r\nTop=0\r\nWidth=700\r\nHeight=400\r\n");
    QProcessEnvironment env = Env();
    env.insert("LD_LIBRARY_PATH", LUM1_SIM_FOLDER); // the simulator's default version-2 gauge
    program.setProcessEnvironment(env);
    program.start(dir.File("lum1"), {});
    ASSERT_TRUE(program.waitForStarted());
    const QString window = WaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the program ended at start, exit code " << program.exitCode();

    // The toolbar's second button of its second group (left 59 + 33, 6 below the menu bar).
    ASSERT_TRUE(Focus(window));
    Click(window, 103, 36);
    QImage saved;
    WaitFor([&] { return saved.load(dir.File("Screenshot.bmp"), "BMP"); }, 60000);
    ASSERT_FALSE(saved.isNull()) << "no Screenshot.bmp";
    EXPECT_EQ(saved.size(), QSize(808, 488));
    // Frame, grey band, and the simulated display's title bar and soft-key row.
    EXPECT_EQ(saved.pixel(0, 0) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(saved.pixel(2, 2) & 0xFFFFFF, 0x7F7F7Fu);
    EXPECT_EQ(saved.pixel(4, 4) & 0xFFFFFF, 0x28468Cu);    // (40, 70, 140)
    EXPECT_EQ(saved.pixel(29, 444) & 0xFFFFFF, 0x4664AAu); // (70, 100, 170)
    EXPECT_EQ(saved.pixel(805, 485) & 0xFFFFFF, 0x7F7F7Fu);

    QByteArray png;
    WaitFor(
        [&] {
            QProcess xclip;
            xclip.setProcessEnvironment(Env());
            xclip.start("xclip", {"-selection", "clipboard", "-t", "image/png", "-o"});
            xclip.waitForFinished(10000);
            png = xclip.readAllStandardOutput();
            return !png.isEmpty();
        },
        10000);
    QImage clip;
    ASSERT_TRUE(clip.loadFromData(png, "PNG")) << "no image on the clipboard";
    EXPECT_EQ(clip.size(), QSize(808, 488));
    EXPECT_EQ(clip.pixel(4, 4) & 0xFFFFFF, 0x28468Cu);

    ASSERT_TRUE(SendWindowManagerClose(window));
    EXPECT_TRUE(program.waitForFinished(10000));
    EXPECT_EQ(program.exitCode(), 0);
}

TEST_F(EndToEnd, AResultsFileNamedOnTheCommandLineOpensAtStart) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    dir.Write("archive.lum1", Archive());
    QProcessEnvironment env = Env();
    program.setProcessEnvironment(env);

    // A file that is not there: the open command's message, then an empty table.
    program.start(dir.File("lum1"), {dir.File("gone.lum1")});
    ASSERT_TRUE(program.waitForStarted());
    QString box;
    ASSERT_TRUE(WaitFor(
        [&] {
            box = Tool("xdotool", {"search", "--onlyvisible", "--name", "Error reading file"})
                      .section('\n', 0, 0)
                      .trimmed();
            return !box.isEmpty() || program.waitForFinished(1);
        },
        60000))
        << "no message for a missing file";
    ASSERT_TRUE(Focus(box));
    PressKeys({"Escape"});
    const QString window = WaitForMainWindow();
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(WaitFor(
        [&] {
            return Tool("xdotool", {"search", "--onlyvisible", "--name", "Error reading file"}).isEmpty();
        },
        10000));
    CloseByTitleBar(window);
    ASSERT_EQ(program.exitCode(), 0);

    // The archive: its records in the table, as Open would show them.
    program.start(dir.File("lum1"), {dir.File("archive.lum1")});
    ASSERT_TRUE(program.waitForStarted());
    const QString filled = WaitForMainWindow();
    ASSERT_FALSE(filled.isEmpty());
    const QString clip = CopyByKeys(filled, {"ctrl+a", "ctrl+c"}, 3);
    ASSERT_EQ(clip.count("\r\n"), 3) << clip.toStdString();
    EXPECT_TRUE(clip.startsWith("1\t14:05:09 (may  5, 2019)\t2352\t"));
    EXPECT_TRUE(clip.contains("\r\n65535\t"));
    CloseByTitleBar(filled);
    EXPECT_EQ(program.exitCode(), 0);
}

// A user pastes the whole table elsewhere and then clicks the title bar's close: a full archive
// opened from a file, Ctrl+A, Ctrl+C, another program reads the clipboard (about 380 KB), then
// one WM_DELETE_WINDOW, which must end the program.
TEST_F(EndToEnd, ATitleBarCloseAfterALargeClipboardTransferIsHonoured) {
    dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
    dir.Write("full.lum1", LargeArchive());
    program.setProcessEnvironment(Env());
    program.start(dir.File("lum1"), {dir.File("full.lum1")});
    ASSERT_TRUE(program.waitForStarted());
    const QString window = WaitForMainWindow();
    ASSERT_FALSE(window.isEmpty()) << "the program ended at start, exit code " << program.exitCode();
    const QString clip = CopyByKeys(window, {"ctrl+a", "ctrl+c"}, MaxRecords);
    ASSERT_EQ(clip.count("\r\n"), MaxRecords);
    EXPECT_GT(clip.toUtf8().size(), 300000);
    CloseByTitleBar(window);
    ASSERT_EQ(program.state(), QProcess::NotRunning);
    EXPECT_EQ(program.exitCode(), 0);
}

// F1 goes through the desktop's opener (here a stand-in for xdg-open that notes what it was
// asked to open): the first start's language dialog and the main window open the manual of the
// interface language at their sections; an opener that fails gives a message.
TEST_F(EndToEnd, F1OpensTheManualAtTheWindowsSectionThroughTheDesktopsOpener) {
    ASSERT_TRUE(QDir(dir.Path()).mkpath("bin"));
    ASSERT_TRUE(QDir(dir.Path()).mkpath("Help"));
    for (const char* manual : {"Lum1EngHelp.html", "Lum1RusHelp.html"})
        ASSERT_TRUE(
            QFile::copy(QFileInfo(LUM1_EXECUTABLE).path() + "/Help/" + manual, dir.File("Help/") + manual));
    const QString opened = dir.File("opened.txt");
    dir.Write("bin/xdg-open", "#!/bin/sh\necho \"$1\" >> '" + opened.toUtf8() + "'\nexit $(cat '" +
                                  dir.File("exit-code").toUtf8() + "' 2>/dev/null || echo 0)\n");
    QFile::setPermissions(dir.File("bin/xdg-open"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment env = Env();
    env.insert("PATH", dir.File("bin") + ":" + env.value("PATH"));
    program.setProcessEnvironment(env);
    program.start(dir.File("lum1"), {}); // no settings: the first start asks for the language
    ASSERT_TRUE(program.waitForStarted());
    auto lines = [&] { return QString::fromUtf8(dir.Read("opened.txt")).split('\n', Qt::SkipEmptyParts); };

    QString dialog;
    ASSERT_TRUE(WaitFor(
        [&] {
            dialog = Tool("xdotool", {"search", "--onlyvisible", "--name", "Language"})
                         .section('\n', 0, 0)
                         .trimmed();
            return !dialog.isEmpty() || program.waitForFinished(1);
        },
        60000))
        << "no language dialog";
    ASSERT_TRUE(Focus(dialog));
    PressKeys({"F1"});
    ASSERT_TRUE(WaitFor([&] { return lines().size() == 1; }, 30000)) << "F1 opened nothing in the dialog";
    // Until a language is chosen the help is the English one.
    EXPECT_EQ(lines()[0], QUrl::fromLocalFile(dir.File("Help/Lum1EngHelp.html")).toString() + "#language");

    Click(dialog, 20, 32); // "Русский", the first choice
    QString window;
    ASSERT_TRUE(WaitFor(
        [&] {
            window = Tool("xdotool", {"search", "--onlyvisible", "--name", "Плотномер асфальта"})
                         .section('\n', 0, 0)
                         .trimmed();
            return !window.isEmpty() || program.waitForFinished(1);
        },
        60000))
        << "no main window after the choice";
    ASSERT_TRUE(Focus(window));
    PressKeys({"shift+F1"});
    ASSERT_TRUE(WaitFor([&] { return lines().size() == 2; }, 30000))
        << "F1 opened nothing in the main window";
    EXPECT_EQ(lines()[1], QUrl::fromLocalFile(dir.File("Help/Lum1RusHelp.html")).toString() + "#window");

    // An opener that finds no program: the message, captioned with the program's title, over
    // the window.
    dir.Write("exit-code", "3");
    PressKeys({"F1"});
    auto messageBox = [&] {
        for (const QString& w : Tool("xdotool", {"search", "--onlyvisible", "--name", "Плотномер асфальта"})
                                    .split('\n', Qt::SkipEmptyParts))
            if (w.trimmed() != window)
                return w.trimmed();
        return QString();
    };
    QString box;
    ASSERT_TRUE(WaitFor([&] { return !(box = messageBox()).isEmpty(); }, 30000))
        << "no message when the opener failed";
    EXPECT_EQ(lines().size(), 3);
    ASSERT_TRUE(Focus(box));
    PressKeys({"Return"});
    ASSERT_TRUE(WaitFor([&] { return messageBox().isEmpty(); }, 30000));
    CloseByTitleBar(window);
    EXPECT_EQ(program.exitCode(), 0);
}

} // namespace
} // namespace lum1
