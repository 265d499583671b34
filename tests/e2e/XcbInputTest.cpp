// Input that the program holds back while it works (ProcessEventsWithoutInput) on a real X
// server: Qt counts the window manager's close (WM_DELETE_WINDOW) as user input and keeps it,
// with the keys and clicks, until its event loop next handles the X connection. This runs the
// test process itself on the xcb platform, under an Xvfb of its own.
#include "device/QtExchangeWindow.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace lum1 {
namespace {

const char* const kMarker = "_LUM1_TEST_MARKER";

// Sees a client message of the marker's type: proof that Qt has read what was sent before it.
class MarkerFilter : public QAbstractNativeEventFilter {
public:
    explicit MarkerFilter(xcb_atom_t marker) : marker_(marker) {}
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        auto* e = static_cast<xcb_generic_event_t*>(message);
        if ((e->response_type & 0x7F) == XCB_CLIENT_MESSAGE &&
            reinterpret_cast<xcb_client_message_event_t*>(e)->type == marker_)
            seen = true;
        return false;
    }
    bool seen = false;

private:
    xcb_atom_t marker_;
};

class CloseCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Close)
            ++closes;
        return false;
    }
    int closes = 0;
};

void SendClientMessage(Display* d, Window w, Atom type, long data0) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = type;
    e.xclient.format = 32;
    e.xclient.data.l[0] = data0;
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &e);
}

// The title bar's close arrives while the program works with input held back; once the work is
// done and the program waits in its event loop with nothing else to do, the close must reach
// the window.
TEST(XcbInput, ACloseThatArrivesDuringWorkReachesTheWindowAfterIt) {
    QWidget window;
    window.setWindowTitle("close target");
    window.resize(200, 100);
    CloseCounter counter;
    window.installEventFilter(&counter);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);
    const Atom marker = XInternAtom(d, kMarker, False);
    MarkerFilter filter(static_cast<xcb_atom_t>(marker));
    qApp->installNativeEventFilter(&filter);
    const Window w = window.winId();
    SendClientMessage(d, w, XInternAtom(d, "WM_PROTOCOLS", False),
                      static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False)));
    SendClientMessage(d, w, marker, 0);
    XFlush(d);

    // The work: passes without input until Qt has read the close and the marker after it.
    QElapsedTimer t;
    t.start();
    while (!filter.seen && t.elapsed() < 30000) {
        ProcessEventsWithoutInput();
        QThread::msleep(1);
    }
    ASSERT_TRUE(filter.seen) << "Qt never read the messages";
    EXPECT_EQ(counter.closes, 0) << "the close ran during the work";

    // Back in the event loop, idle: nothing else arrives to stir it.
    QEventLoop loop;
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (counter.closes > 0)
            loop.quit();
    });
    poll.start(10);
    giveUp.start(10000);
    loop.exec();
    EXPECT_EQ(counter.closes, 1) << "the close never reached the window";

    qApp->removeNativeEventFilter(&filter);
    XCloseDisplay(d);
}

} // namespace
} // namespace lum1

// A server of its own (the number it chose itself), then the application on it.
int main(int argc, char** argv) {
    int fds[2];
    if (pipe(fds) != 0)
        return 2;
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char number[32] = {};
    ssize_t got = 0;
    for (ssize_t n; got < static_cast<ssize_t>(sizeof number) - 1 &&
                    (n = read(fds[0], number + got, sizeof number - 1 - static_cast<size_t>(got))) > 0;) {
        got += n;
        if (number[got - 1] == '\n')
            break;
    }
    close(fds[0]);
    if (got <= 0) {
        std::fprintf(stderr, "Xvfb gave no display number (is it installed?)\n");
        return 1;
    }
    const std::string display = ":" + std::string(number, static_cast<size_t>(got - 1));
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent", 1);
    int result = 1;
    {
        QApplication app(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return result;
}
