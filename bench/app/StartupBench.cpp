// Start-up of the real program: from the start of its process to the first Expose of its main
// window, as the X server sends it (an Xvfb of the benchmark's own, no window manager). Two
// cases: a first start, which writes the language files and the report's text files, and a
// warm start, which finds them. Each repetition is one start; the program is then closed with
// the window manager's close and its end is not timed.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <X11/Xlib.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::string g_display;

// Waits for the next X event up to a deadline; false when none came.
bool NextEvent(Display* d, XEvent& e, const QElapsedTimer& clock, qint64 deadlineMs) {
    while (!XPending(d)) {
        const qint64 left = deadlineMs - clock.elapsed();
        if (left <= 0)
            return false;
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(d), &fds);
        timeval tv{static_cast<time_t>(left / 1000), static_cast<suseconds_t>((left % 1000) * 1000)};
        select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &tv);
    }
    XNextEvent(d, &e);
    return true;
}

bool IsMainWindow(Display* d, Window w) {
    char* name = nullptr;
    if (!XFetchName(d, w, &name) || !name)
        return false;
    const bool main = std::string(name).find("Asphalt densitometer") != std::string::npos;
    XFree(name);
    return main;
}

int IgnoreXError(Display*, XErrorEvent*) {
    return 0; // a window of the program that is already gone
}

// One start: milliseconds from the process start to the main window's first Expose, or -1.
double StartOnce(const QString& folder, Window* mainWindow, QProcess& program) {
    Display* d = XOpenDisplay(g_display.c_str());
    if (!d)
        return -1;
    XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
    XSync(d, False);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QString::fromStdString(g_display));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=") + folder + "/no-bus");
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(folder + QStringLiteral("/lum1"), {});
    double ms = -1;
    XEvent e;
    while (ms < 0 && NextEvent(d, e, clock, 60000)) {
        if (e.type == CreateNotify && e.xcreatewindow.parent == DefaultRootWindow(d))
            XSelectInput(d, e.xcreatewindow.window, ExposureMask); // before the program maps it
        else if (e.type == Expose && IsMainWindow(d, e.xexpose.window)) {
            ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
            *mainWindow = e.xexpose.window;
        }
    }
    XCloseDisplay(d);
    return ms;
}

void Close(Window w, QProcess& program) {
    if (Display* d = XOpenDisplay(g_display.c_str())) {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
        XSendEvent(d, w, False, NoEventMask, &e);
        XCloseDisplay(d);
    }
    if (!program.waitForFinished(30000)) {
        program.kill();
        program.waitForFinished();
    }
}

void Start(benchmark::State& state, bool first) {
    QTemporaryDir dir;
    const QString folder = dir.path();
    QFile::copy(QStringLiteral(LUM1_PROGRAM), folder + QStringLiteral("/lum1"));
    QFile::setPermissions(folder + QStringLiteral("/lum1"), QFile::permissions(QStringLiteral(LUM1_PROGRAM)));
    QFile settings(folder + QStringLiteral("/lum1.ini"));
    settings.open(QIODevice::WriteOnly);
    settings.write("[Config]\r\nLangId=Eng\r\n");
    settings.close();
    for (auto _ : state) {
        if (first)
            QDir(folder + QStringLiteral("/Language")).removeRecursively();
        QProcess program;
        Window main = 0;
        const double ms = StartOnce(folder, &main, program);
        if (ms < 0) {
            state.SkipWithError("no Expose of the main window");
            program.kill();
            program.waitForFinished();
            break;
        }
        state.SetIterationTime(ms / 1000.0);
        Close(main, program);
    }
}

void FirstStart(benchmark::State& state) {
    Start(state, true);
}
void WarmStart(benchmark::State& state) {
    Start(state, false);
}

double Min(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Max(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

// One start per repetition; the median, minimum and maximum of the repetitions are reported.
BENCHMARK(FirstStart)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);
BENCHMARK(WarmStart)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min", Min)
    ->ComputeStatistics("max", Max);

} // namespace

// An X server of the benchmark's own: Xvfb picks a free display number and tells it.
int main(int argc, char** argv) {
    int fds[2];
    if (pipe(fds) != 0)
        return 2;
    const pid_t xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        std::fprintf(stderr, "Xvfb gave no display number (is it installed?)\n");
        return 1;
    }
    g_display = ":" + number;
    XSetErrorHandler(IgnoreXError);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return 0;
}
