// The one worker thread of the suite's programs: joinable, started only once it runs, stopped through one stop,
// and waiting on an event for its work rather than polling.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/StopSignal.h"
#include "platform/UniqueHandle.h"

namespace platform {

// An auto-reset event another thread sets to say "there is work". Every member may be called from any thread,
// except that SetWaker, and Set once a waker is set, belong to the thread the waker must run on.
class WorkEvent {
public:
    WorkEvent() : m_event(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
    // `waker` runs on the setting thread after each Set (a worker that starts its thread on demand); null: none.
    void SetWaker(std::function<void()> waker) { m_waker = std::move(waker); }
    void Set() const {
        ::SetEvent(m_event.get());
        if (m_waker) {
            m_waker();
        }
    }
    HANDLE get() const { return m_event.get(); }

private:
    UniqueKernelHandle m_event;
    std::function<void()> m_waker;
};

// How it works: Start creates the thread and returns once the thread runs (or died trying), so whatever the
// caller does next meets a running worker; a stop asked for before the body's first wait is still heard, since
// the stop stays set until Reset. The body runs inside a catch-all: no exception leaves the thread.
// The stop is shared with whatever the body runs (a transfer closes its handle through it), so one RequestStop
// reaches both the body's waits and a call blocked in the network. Nothing ends the thread from outside.
//
// Calling thread: the owner's thread for Start, the joins and the destructor; RequestStop and the waits of the
// body from any thread.
class WorkerThread {
public:
    enum class Woken { Work, Timeout, Stop };

    explicit WorkerThread(StopSignal& stop) : m_stop(stop) {}
    // Stops and joins a thread still running.
    ~WorkerThread();
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // False when the thread or its events cannot be made; nothing runs then. A second Start does nothing.
    bool Start(std::function<void()> body);
    void RequestStop() { m_stop.Stop(); }
    bool IsStopRequested() const { return m_stop.IsStopped(); }

    // For the body: waits until `work` is set (null: no work event), the time is up or the stop is asked for; a
    // stop wins over work that arrived at the same time.
    Woken WaitFor(HANDLE work, DWORD timeoutMs) const;

    // True when the thread has ended (or never ran) within `timeoutMs`.
    bool Join(DWORD timeoutMs = INFINITE);
    // As Join, for a UI thread: window messages are dispatched while it waits, so a worker that is sending to a
    // window of this thread, and the user's view of the program, are not frozen by the wait.
    bool JoinPumping(DWORD timeoutMs);

private:
    static unsigned __stdcall ThreadMain(void* self);

    StopSignal& m_stop;
    std::function<void()> m_body;
    UniqueKernelHandle m_ready;
    UniqueKernelHandle m_thread;
};

}  // namespace platform
