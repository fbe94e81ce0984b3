// The agent's package worker: one thread that polls the install and update queues once a second and runs their
// jobs one at a time.
#pragma once

#include <windows.h>

#include "agent/jobs/PackageJobRunner.h"
#include "agent/jobs/WorkerFlags.h"
#include "common/agent/JobQueues.h"
#include "platform/UniqueHandle.h"

// How it works: Start creates a joinable thread and waits until it has entered its loop. The loop waits on the
// stop event for one second at a time and polls the queues between waits while the run flag is set. RequestStop
// clears nothing but sets the event; a job in progress sees it (or the cancel flag) between its chunks and
// returns. Join waits for the thread to end. Nothing ends the thread from outside.
//
// Calling thread: the UI thread for every member. The worker reaches the UI only by PostMessage to `frame`.

class PackageWorker {
public:
    static constexpr DWORD kPollIntervalMs = 1000;

    // `frame` is asked to show the launcher when a job starts, and to run the exit procedure when a job was
    // cancelled. Without a runner (tests of the thread itself) queued jobs wait.
    PackageWorker(WorkerFlags& flags, common::JobQueues& queues, HWND frame, IPackageJobRunner* runner = nullptr);
    // Stops and joins a thread still running.
    ~PackageWorker();
    PackageWorker(const PackageWorker&) = delete;
    PackageWorker& operator=(const PackageWorker&) = delete;

    // False when the thread or its events cannot be made; nothing runs then.
    bool Start();
    void RequestStop();
    // True when the thread has ended (or never ran) within `timeoutMs`.
    bool Join(DWORD timeoutMs = INFINITE);
    // As Join, for the UI thread: window messages are dispatched while it waits, so a worker that is sending to
    // a window of this thread, and the user's view of the agent, are not frozen by the wait.
    bool JoinPumping(DWORD timeoutMs);

private:
    static unsigned __stdcall ThreadMain(void* self);
    void Loop();
    // False when the worker must leave its loop.
    bool PollQueues();

    WorkerFlags& m_flags;
    common::JobQueues& m_queues;
    IPackageJobRunner* m_runner;
    HWND m_frame;
    platform::UniqueKernelHandle m_stop;
    platform::UniqueKernelHandle m_ready;
    platform::UniqueKernelHandle m_thread;
};
