#include "platform/NamedEvent.h"

#include "QtPrinters.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QThread>
#include <thread>

namespace lum1 {
namespace {

TEST(NamedEvent, TakesTheFirstFreeSuffix) {
    test::TempDir dir;
    TEventNamespace ns(dir.Path());
    auto first = ns.CreateNamedEvent("DataReadedEvent ", false);
    auto second = ns.CreateNamedEvent("DataReadedEvent ", false);
    auto other = ns.CreateNamedEvent("EEPROMReadedEvent=", false);
    EXPECT_EQ(first->Name(), "DataReadedEvent 0");
    EXPECT_EQ(second->Name(), "DataReadedEvent 1");
    EXPECT_EQ(other->Name(), "EEPROMReadedEvent=0");
    first.reset(); // a closed event frees its name
    EXPECT_EQ(ns.CreateNamedEvent("DataReadedEvent ", false)->Name(), "DataReadedEvent 0");
}

TEST(NamedEvent, AllHundredNamesTakenGivesTheLastAttempt) {
    test::TempDir dir;
    TEventNamespace ns(dir.Path());
    std::vector<std::shared_ptr<TNamedEvent>> held;
    for (int i = 0; i < TEventNamespace::MaxSuffixes; ++i)
        held.push_back(ns.CreateNamedEvent("E", false));
    EXPECT_EQ(held.back()->Name(), "E99");
    auto extra = ns.CreateNamedEvent("E", true);
    EXPECT_EQ(extra->Name(), "E99");
    EXPECT_FALSE(extra->OwnsName());
    EXPECT_TRUE(extra->WaitFor(0)); // still a working event
}

TEST(NamedEvent, AutoResetOneWaitConsumesTheSignal) {
    test::TempDir dir;
    auto ev = TEventNamespace(dir.Path()).CreateNamedEvent("DataRdEvent", false);
    EXPECT_FALSE(ev->WaitFor(0));
    ev->SetEvent();
    ev->SetEvent(); // not counted
    EXPECT_TRUE(ev->WaitFor(0));
    EXPECT_FALSE(ev->WaitFor(0));
    auto initially = TEventNamespace(dir.Path()).CreateNamedEvent("Init", true);
    EXPECT_TRUE(initially->WaitFor(0));
}

TEST(NamedEvent, WakesAWaiterOnAnotherThread) {
    test::TempDir dir;
    auto ev = TEventNamespace(dir.Path()).CreateNamedEvent("X", false);
    std::thread t([&] { ev->SetEvent(); });
    EXPECT_TRUE(ev->WaitFor(5000));
    t.join();
}

TEST(NamedEvent, ANameHeldByAnotherProcessIsSkippedAndFreedWhenItDies) {
    test::TempDir dir;
    // flock from another process holds "Shared0" while it sleeps.
    QProcess holder;
    holder.start("flock", {"-o", "-x", dir.File("Shared0"), "sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    TEventNamespace ns(dir.Path());
    std::shared_ptr<TNamedEvent> ev;
    for (int i = 0; i < 1000; ++i) { // until the other process holds its lock (10 s at most)
        ev = ns.CreateNamedEvent("Shared", false);
        if (ev->Name() == "Shared1")
            break;
        ev.reset();
        QThread::msleep(10);
    }
    ASSERT_TRUE(ev);
    EXPECT_EQ(ev->Name(), "Shared1");
    holder.kill();
    holder.waitForFinished();
    // flock's child lets go of its copy of the file once it runs, which on a loaded machine
    // may be a moment after the holder has died.
    QString freed;
    for (int i = 0; i < 1000 && freed != "Shared0"; ++i) {
        freed = ns.CreateNamedEvent("Shared", false)->Name();
        if (freed != "Shared0")
            QThread::msleep(10);
    }
    EXPECT_EQ(freed, "Shared0");
}

} // namespace
} // namespace lum1
