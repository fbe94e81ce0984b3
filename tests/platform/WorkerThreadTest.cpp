// The suite's worker thread: it is running when Start returns, one stop ends its waits and its loop, no
// exception escapes it, and a UI thread that waits for it keeps dispatching.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "platform/StopSignal.h"
#include "platform/WorkerThread.h"
#include "platform/framework/FrameWindow.h"

namespace {

using platform::WorkerThread;

// Catches: a stop asked for right after Start that a body not yet at its first wait misses (the exit procedure
// would wait for a worker that never ends), and a body whose waits do not hear the stop.
TEST(WorkerThread, AStopRightAfterStartIsHeardAndEndsTheBody) {
    platform::StopSignal stop;
    WorkerThread worker(stop);
    ASSERT_TRUE(worker.Start([&] {
        ::Sleep(20);  // not yet waiting when the stop comes
        while (worker.WaitFor(nullptr, 10) == WorkerThread::Woken::Timeout) {
        }
    }));
    worker.RequestStop();
    EXPECT_TRUE(worker.Join(5000));
    EXPECT_TRUE(stop.IsStopped()) << "the stop is the one the body's transfers share";
    EXPECT_TRUE(worker.Join(0)) << "an ended worker joins at once";

    platform::StopSignal idleStop;
    WorkerThread idle(idleStop);
    ASSERT_TRUE(idle.Start([&] { idle.WaitFor(nullptr, INFINITE); }));
    EXPECT_FALSE(idle.Join(50)) << "the body waits until it is stopped";
    idle.RequestStop();
    EXPECT_TRUE(idle.Join(5000));
}

// Catches: a work event that does not wake the body, and work that wins over a stop set at the same time (the
// worker would start another job while the exit procedure waits for it).
TEST(WorkerThread, WorkWakesTheBodyAndAStopWinsOverIt) {
    platform::StopSignal stop;
    platform::WorkEvent work;
    WorkerThread worker(stop);
    EXPECT_EQ(worker.WaitFor(work.get(), 0), WorkerThread::Woken::Timeout);
    work.Set();
    EXPECT_EQ(worker.WaitFor(work.get(), 0), WorkerThread::Woken::Work);
    EXPECT_EQ(worker.WaitFor(work.get(), 0), WorkerThread::Woken::Timeout) << "one wake per Set";
    work.Set();
    stop.Stop();
    EXPECT_EQ(worker.WaitFor(work.get(), 0), WorkerThread::Woken::Stop);
    stop.Reset();
    EXPECT_EQ(worker.WaitFor(nullptr, 0), WorkerThread::Woken::Timeout) << "a reset stop no longer ends waits";
}

// Catches: an exception thrown in the body that ends the process (it would take the tray icon and the user's
// auto-close programs with it), and a body that starts twice.
TEST(WorkerThread, AnExceptionEndsOnlyTheBody) {
    platform::StopSignal stop;
    WorkerThread worker(stop);
    std::atomic<int> runs{0};
    ASSERT_TRUE(worker.Start([&] {
        ++runs;
        throw std::runtime_error("job failed");
    }));
    EXPECT_TRUE(worker.Join(5000));
    EXPECT_TRUE(worker.Start([&] { ++runs; }));
    EXPECT_TRUE(worker.Join(5000));
    EXPECT_EQ(runs, 2);
}

// Catches: a stop that does not close the handle a transfer lent (a call blocked in the network would hold the
// exit), a handle closed twice, and a transfer that starts after the stop.
TEST(StopSignal, ClosesTheLentHandleOnceAndRefusesLendingAfterTheStop) {
    static int closed = 0;
    closed = 0;
    auto close = [](void*) -> BOOL {
        ++closed;
        return TRUE;
    };
    platform::StopSignal stop;
    int handle = 0;
    ASSERT_TRUE(stop.Lend(&handle, close));
    EXPECT_TRUE(stop.TakeBack()) << "not stopped: the transfer closes its own handles";
    ASSERT_TRUE(stop.Lend(&handle, close));
    stop.Stop();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(stop.TakeBack()) << "the stop closed them: the transfer only forgets them";
    stop.Stop();
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(stop.Lend(&handle, close));
    EXPECT_EQ(::WaitForSingleObject(stop.Event(), 0), WAIT_OBJECT_0);
}

// Catches: a wait for the worker that does not dispatch messages (a worker sending to a window of the waiting
// thread would then wait for ever, and the program would look hung), and a bounded wait that never gives up.
class TimerCounter : public platform::FrameWindow {
public:
    int ticks = 0;

protected:
    void OnTimer(UINT_PTR) override { ++ticks; }
};

TEST(WorkerThread, JoinPumpingDispatchesWhileItWaitsAndGivesUp) {
    TimerCounter window;
    platform::FrameClass frameClass;
    frameClass.className = L"KelvoJoinPumpingProbe";
    ASSERT_TRUE(window.CreateFrame(::GetModuleHandleW(nullptr), frameClass, L"", WS_OVERLAPPED));
    platform::StopSignal stop;
    WorkerThread worker(stop);
    ASSERT_TRUE(worker.Start([&] { worker.WaitFor(nullptr, INFINITE); }));
    // Timer messages reach the window only through a loop that dispatches them.
    ::SetTimer(window.hwnd(), 1, 10, nullptr);
    EXPECT_FALSE(worker.JoinPumping(300)) << "the worker is still running";
    EXPECT_GT(window.ticks, 0);
    ::KillTimer(window.hwnd(), 1);
    worker.RequestStop();
    EXPECT_TRUE(worker.JoinPumping(5000));
    EXPECT_TRUE(worker.JoinPumping(0));
}

}  // namespace
