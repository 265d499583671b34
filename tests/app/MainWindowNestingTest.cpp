// Commands pressed while other work runs on the window thread: a read pressed during a file
// open, inside a status update handed over by the exchange thread, or inside the table fill.
// The key goes through the platform's input queue, as a real key press does, so it reaches the
// window wherever that work lets pending input through. Such a read must run after the work,
// never inside it, where it would wait for what the work holds further down the stack.
#include "app/DeviceLink.h"
#include "app/MainWindow.h"
#include "app/ResultsGrid.h"
#include "device/USBExchange.h"
#include "diag/StatusWindow.h"
#include "results/ResultsTable.h"

#include "QtPrinters.h"
#include "RecordFixture.h"
#include "ScriptedDialogs.h"
#include "TempDir.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <qpa/qwindowsysteminterface.h>

#include <atomic>
#include <condition_variable>
#include <thread>

namespace lum1 {
namespace {

// Queues Ctrl+R as the window system would deliver it: handled at the next event processing
// that takes user input.
void QueueCtrlR(QWidget& form) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease})
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            form.windowHandle(), type, Qt::Key_R, Qt::ControlModifier, QStringLiteral("r"));
}

// Ends a hung exchange after a while by the stop that a close sends, so that a test that
// would deadlock fails instead of hanging.
class Watchdog {
public:
    Watchdog(TUSBExchange& exchange, int seconds)
        : thread_([this, &exchange, seconds] {
              std::unique_lock lock(mutex_);
              if (!cv_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
                  fired_ = true;
                  exchange.RequestStop();
              }
          }) {}
    ~Watchdog() { Disarm(); }
    // True when it had to stop the exchange.
    bool Disarm() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        cv_.notify_all();
        if (thread_.joinable())
            thread_.join();
        return fired_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

class MainWindowNesting : public ::testing::Test {
protected:
    void SetUp() override {
        dir.Write("lum1.ini", "[Config]\r\nLangId=Eng\r\n");
        dir.Write("scenario.txt", "[gauge]\nversion = 2\nrecords = 30\n");
        qputenv("LUM1_SIM_SCENARIO", dir.File("scenario.txt").toUtf8());
        program = std::make_unique<Program>(dir.Path(), dir.File("lum1.ini"), dir.File("events"));
        TForm1::Hooks hooks;
        hooks.endProcess = [](int) {};
        hooks.usbLibraryName = LUM1_SIM_LIBRARY;
        form = std::make_unique<TForm1>(*program, dialogs, hooks);
        form->CreateStatusWindow();
        form->show();
        form->activateWindow();
        form->StringGrid1->setFocus();
        QCoreApplication::processEvents();
    }
    void TearDown() override {
        form->FormClose();
        qunsetenv("LUM1_SIM_SCENARIO");
    }
    unsigned Reads() const { return form->Device().Exchange()->OperationEnds(TOperation::DataRead); }
    // Handles events, input included, until `reads` reads have ended.
    void WaitForReads(unsigned reads) {
        QElapsedTimer t;
        t.start();
        while (Reads() < reads && t.elapsed() < 20000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;
    std::unique_ptr<TForm1> form;
};

TEST_F(MainWindowNesting, ReadPressedDuringAnOpenRunsAfterTheOpen) {
    QByteArray file;
    for (int i = 1; i <= MaxRecords; ++i)
        file.append(test::RecordBytes(test::SampleRecord(static_cast<uint16_t>(i))));
    dir.Write("large.lum1", file);
    dialogs.fileAnswers.push_back(dir.File("large.lum1"));

    // The key arrives at the first event processing inside the open's loading loop.
    QTimer::singleShot(0, form.get(), [this] { QueueCtrlR(*form); });
    Watchdog watchdog(*form->Device().Exchange(), 20);
    form->AOpenExecute();
    EXPECT_EQ(Reads(), 0u) << "the read ran inside the open";
    EXPECT_EQ(form->Table().rowCount(), MaxRecords);

    WaitForReads(1);
    EXPECT_FALSE(watchdog.Disarm()) << "the read waited for the store without end";
    EXPECT_EQ(Reads(), 1u);
    // The gauge's records replaced the file's (the simulator keeps the scenario of its first
    // load in a process, so the count is not checked here).
    EXPECT_NE(program->Store.RecordCount.load(), MaxRecords);
    EXPECT_EQ(form->Table().rowCount(), program->Store.RecordCount.load());
}

TEST_F(MainWindowNesting, AStoreCommandInsideAnotherIsRefusedNotLockedTwice) {
    dialogs.fileAnswers.push_back(std::nullopt);
    {
        TStoreHold outer = form->Device().LockStore();
        ASSERT_TRUE(outer.owns_lock());
        EXPECT_FALSE(form->Device().LockStore().owns_lock());
        QGuiApplication::clipboard()->setText("untouched");
        program->Store.RecordCount.store(1);
        form->ACopyAllExecute(); // refused with a beep
        form->AOpenExecute();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "untouched");
        EXPECT_TRUE(dialogs.fileRequests.empty());
        program->Store.RecordCount.store(0);
    }
    EXPECT_TRUE(form->Device().LockStore().owns_lock()); // free again once the outer one ends
}

TEST_F(MainWindowNesting, ReadPressedInsideAWindowUpdateOfTheExchangeRunsAfterIt) {
    // Where the key is pressed: inside the status update "Reading parameters...", or inside the
    // table fill (the first row's insertion, followed by a pause that makes the fill let events
    // through).
    for (const bool insideFill : {false, true}) {
        SCOPED_TRACE(insideFill ? "inside the table fill" : "inside a status update");
        const unsigned before = Reads();
        bool pressed = false;
        QMetaObject::Connection hook;
        auto* history = form->frmStatus()->findChild<QPlainTextEdit*>();
        ASSERT_NE(history, nullptr);
        if (insideFill) {
            hook = QObject::connect(&form->Table(), &QAbstractItemModel::rowsInserted, form.get(), [&] {
                if (pressed || program->Store.RecordCount.load() == 0)
                    return;
                pressed = true;
                QueueCtrlR(*form);
                QThread::msleep(20);
            });
        } else {
            hook = QObject::connect(history, &QPlainTextEdit::textChanged, form.get(), [&] {
                if (pressed || !form->frmStatus()->Text().contains(QStringLiteral("Reading parameters...")))
                    return;
                pressed = true;
                QueueCtrlR(*form);
            });
        }
        history->clear();
        program->Store.RecordCount.store(0);

        Watchdog watchdog(*form->Device().Exchange(), 20);
        form->AReadExecute();
        WaitForReads(before + 2);
        QObject::disconnect(hook);
        EXPECT_FALSE(watchdog.Disarm()) << "a read started inside a window update hung";
        EXPECT_TRUE(pressed);
        EXPECT_EQ(Reads(), before + 2); // the pressed read ran as well, after the first
        EXPECT_GT(form->Table().rowCount(), 0);
        EXPECT_EQ(form->Table().rowCount(), program->Store.RecordCount.load());
        if (::testing::Test::HasFailure())
            return; // a stopped exchange does not read again
    }
}

} // namespace
} // namespace lum1
