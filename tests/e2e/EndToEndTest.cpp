// End to end: the real lum1 executable under Xvfb with the simulator library first on the
// library path. Ctrl+R reads the gauge; the table, selected with the keyboard and copied with
// Ctrl+C, reaches the X clipboard; File, Exit writes the settings and ends the program.
#include "results/MeasRecord.h"

#include "QtPrinters.h"
#include "RecordFixture.h"
#include "TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>

#include <X11/Xlib.h>

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
    }
    void TearDown() override {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished();
        }
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
        if (env.contains("TSAN_OPTIONS")) // a later option wins: the X11 suppressions for this run
            env.insert("TSAN_OPTIONS",
                       env.value("TSAN_OPTIONS") + " suppressions=" LUM1_E2E_TSAN_SUPPRESSIONS);
        return env;
    }
    // Runs a tool on the test's display and returns what it printed.
    QString Tool(const QString& tool, const QStringList& args, int timeoutMs = 10000) {
        QProcess p;
        p.setProcessEnvironment(Env());
        p.start(tool, args);
        p.waitForFinished(timeoutMs);
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
    // Sends the key gestures until the clipboard holds `lines` lines: a slow (sanitizer) build
    // may still be busy with earlier input, so the whole gesture is repeated.
    QString CopyByKeys(const QString& window, const QList<QStringList>& gestures, int lines) {
        QString clip;
        for (int attempt = 0; attempt < 5 && clip.count("\r\n") != lines; ++attempt) {
            for (const QStringList& keys : gestures)
                Tool("xdotool", QStringList{"key", "--window", window} + keys);
            WaitFor(
                [&] {
                    clip = Tool("xclip", {"-o", "-selection", "clipboard"}, 3000);
                    return clip.count("\r\n") == lines;
                },
                4000);
        }
        return clip;
    }
    // The title bar's close, repeated until the program has ended (a slow build may miss one).
    void CloseByTitleBar(const QString& window) {
        for (int attempt = 0; attempt < 5 && program.state() != QProcess::NotRunning; ++attempt) {
            SendWindowManagerClose(window);
            program.waitForFinished(6000);
        }
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

    QString window;
    ASSERT_TRUE(WaitFor(
        [&] {
            window =
                Tool("xdotool", {"search", "--name", "Asphalt densitometer"}).section('\n', 0, 0).trimmed();
            return !window.isEmpty() || program.waitForFinished(1);
        },
        60000))
        << "no main window"; // generous: a sanitizer build starts slowly on a busy machine
    ASSERT_FALSE(window.isEmpty()) << "the program ended at start, exit code " << program.exitCode();
    Tool("xdotool", {"windowfocus", "--sync", window});
    Tool("xdotool", {"key", "--window", window, "ctrl+r"});

    auto log = [&] { return QString::fromUtf8(dir.Read("LogUSB.log")); };
    ASSERT_TRUE(WaitFor([&] { return log().contains("Device closed!"); }, 60000)) << log().toStdString();
    QThread::msleep(1000); // the table fill follows the close by a hand-over

    // Keyboard only: to the first row, then extend the selection to the last. A slow
    // (sanitizer) build may still be busy with earlier input, so the whole gesture, which
    // always starts over from the first row, is repeated until the clipboard holds the rows.
    const QString clip =
        CopyByKeys(window, {{"ctrl+Home", "Down", "Up"}, {"shift+Down", "shift+Down"}, {"ctrl+c"}}, 3);
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
    // own additions come after it). A slow (sanitizer) build may not have opened the menu yet
    // when the keys arrive, so the gesture is repeated until the program ends.
    for (int attempt = 0; attempt < 5 && program.state() != QProcess::NotRunning; ++attempt) {
        Tool("xdotool", {"mousemove", "--window", window, "20", "10", "click", "1"});
        QThread::msleep(1000);
        Tool("xdotool", {"key", "Down", "Down", "Down", "Down", "Return"});
        program.waitForFinished(6000);
    }
    ASSERT_EQ(program.state(), QProcess::NotRunning);
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
    QImage saved;
    for (int attempt = 0; attempt < 3 && saved.isNull(); ++attempt) {
        Tool("xdotool", {"mousemove", "--window", window, "103", "36", "click", "1"});
        WaitFor([&] { return saved.load(dir.File("Screenshot.bmp"), "BMP"); }, 30000);
    }
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
    Tool("xdotool", {"key", "--window", box, "Escape"});
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
    Tool("xdotool", {"windowfocus", "--sync", filled});
    const QString clip = CopyByKeys(filled, {{"ctrl+a", "ctrl+c"}}, 3);
    ASSERT_EQ(clip.count("\r\n"), 3) << clip.toStdString();
    EXPECT_TRUE(clip.startsWith("1\t14:05:09 (may  5, 2019)\t2352\t"));
    EXPECT_TRUE(clip.contains("\r\n65535\t"));
    CloseByTitleBar(filled);
    EXPECT_EQ(program.exitCode(), 0);
}

} // namespace
} // namespace lum1
