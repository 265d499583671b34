// The display picture: decoding and drawing a version-2 picture, and the whole screen command
// of the program against the simulated gauge with no link latency. The exchange thread's
// passes set the command's floor: the request is taken at the next pass (up to 50 ms) and the
// picture read at the pass after it (50 ms more), so about 100 ms no code can beat.
#include "app/DeviceLink.h"
#include "app/MainWindow.h"
#include "device/USBExchange.h"
#include "screen/ScreenContext.h"
#include "screen/ScreenImage.h"
#include "screen/ScreenImageView.h"
#include "screen/ScreenshotWindow.h"

#include "DefaultGauge.h"
#include "SimulatorFirst.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace lum1 {
namespace {

void BM_DecodeAndDrawV2(benchmark::State& state) {
    const std::vector<uint8_t> received = sim::MakeScreenPicture(2);
    TScreenImageView view(PictureWidthV2, PictureHeight, nullptr);
    for (auto _ : state) {
        view.Draw(DecodeScreenImage(received, true));
        benchmark::DoNotOptimize(view.Picture().constBits());
    }
    state.counters["target_ms"] = 20;
}
BENCHMARK(BM_DecodeAndDrawV2)->Unit(benchmark::kMillisecond);

class NoDialogs : public IDialogs {
public:
    MsgResult Message(const MessageRequest&) override { return MsgResult::Cancel; }
    std::optional<QString> OpenFileName(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<QString> SaveFileName(const FileDialogRequest&) override { return std::nullopt; }
};

// The command as the toolbar runs it: a new window, the read, the picture drawn, saved as
// Screenshot.bmp and put on the clipboard; then the window is closed.
void BM_ScreenCommandV2(benchmark::State& state) {
    QTemporaryDir dir;
    QFile ini(dir.filePath("lum1.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[Config]\r\nLangId=Eng\r\n") < 0)
        return state.SkipWithError("no settings file");
    ini.close();
    Program program(dir.path(), dir.filePath("lum1.ini"), dir.filePath("events"));
    NoDialogs dialogs;
    TForm1::Hooks hooks;
    hooks.endProcess = [](int) {};
    TForm1 form(program, dialogs, hooks);
    QElapsedTimer started;
    started.start();
    while (form.Device().Exchange()->USBState.load() != stIdle && started.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (auto _ : state) {
        form.AScreenshotExecute();
        state.PauseTiming();
        TfrmScreenshot* w = form.ScreenContext()->frmScreenshot;
        if (!w || !w->DeviceV2ScreenShotImage->isVisibleTo(w))
            state.SkipWithError("no picture");
        if (w)
            w->close();
        // The next command starts with the thread idle, as a user's next click would.
        while (form.Device().Exchange()->USBState.load() != stIdle)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    state.counters["floor_ms"] = 100;
    form.FormClose();
}
BENCHMARK(BM_ScreenCommandV2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
} // namespace lum1

int main(int argc, char** argv) {
    lum1::sim::RestartWithSimulatorFirst(LUM1_SIM_DIR, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
