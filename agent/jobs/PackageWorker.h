// The agent's package worker: one thread that takes the install and update queues' jobs one at a time.
#pragma once

#include <windows.h>

#include "agent/jobs/PackageJobRunner.h"
#include "agent/jobs/WorkerFlags.h"
#include "common/agent/JobQueues.h"
#include "platform/WorkerThread.h"

// How it works: the loop sleeps on the queue event (set by whoever appends a job) and the stop. Woken, it runs
// the queued jobs one after another, a second apart, installs before updates, then sleeps again. A job in
// progress sees the stop between its chunks (a blocked transfer through its closed handle) and returns.
//
// Calling thread: the UI thread for every member. The worker reaches the UI only by PostMessage to `frame`.
class PackageWorker {
public:
    // The pause after each job, which paces a queue of several.
    static constexpr DWORD kJobPaceMs = 1000;

    // `frame` is asked to show the launcher when a job starts, and to run the exit procedure when a job was
    // cancelled. Without a runner (tests of the thread itself) queued jobs wait.
    PackageWorker(WorkerFlags& flags, common::JobQueues& queues, const platform::WorkEvent& queued,
                  platform::StopSignal& stop, HWND frame, IPackageJobRunner* runner = nullptr);
    PackageWorker(const PackageWorker&) = delete;
    PackageWorker& operator=(const PackageWorker&) = delete;

    // False when the thread cannot be made; nothing runs then.
    bool Start() {
        return m_thread.Start([this] { Loop(); });
    }
    void RequestStop() { m_thread.RequestStop(); }
    bool Join(DWORD timeoutMs = INFINITE) { return m_thread.Join(timeoutMs); }
    bool JoinPumping(DWORD timeoutMs) { return m_thread.JoinPumping(timeoutMs); }

private:
    void Loop();
    // False when the worker must leave its loop.
    bool RunQueuedJobs();

    WorkerFlags& m_flags;
    common::JobQueues& m_queues;
    const platform::WorkEvent& m_queued;
    IPackageJobRunner* m_runner;
    HWND m_frame;
    platform::WorkerThread m_thread;
};
