// The agent's package worker: one thread that takes the install and update queues' jobs one at a time.
#pragma once

#include <windows.h>

#include <mutex>

#include "agent/jobs/PackageJobRunner.h"
#include "agent/jobs/WorkerFlags.h"
#include "common/agent/JobQueues.h"
#include "platform/WorkerThread.h"

// How it works: the thread runs only while there are jobs, since an idle Wine thread keeps about 1 MB of
// memory. Setting the queue event (whoever appends a job does) starts it unless it runs; it runs the queued jobs
// one after another, a second apart, installs before updates, and ends when it finds both queues empty. That
// last look and the "is it running" question of the next Set share one lock, so a job appended meanwhile is
// either seen by the ending thread or starts a new one. A job in progress sees the stop between its chunks (a
// blocked transfer through its closed handle) and returns; a stop or a cancelled job ends the worker for good.
//
// Calling thread: the UI thread for every member and for every Set of the queue event. The worker reaches the
// UI only by PostMessage to `frame`.
class PackageWorker {
public:
    // The pause after each job, which paces a queue of several.
    static constexpr DWORD kJobPaceMs = 1000;

    // `frame` is asked to show the launcher when a job starts, and to run the exit procedure when a job was
    // cancelled. Without a runner (tests of the thread itself) queued jobs wait. `queued` must outlive the worker.
    PackageWorker(WorkerFlags& flags, common::JobQueues& queues, platform::WorkEvent& queued,
                  platform::StopSignal& stop, HWND frame, IPackageJobRunner* runner = nullptr);
    ~PackageWorker();
    PackageWorker(const PackageWorker&) = delete;
    PackageWorker& operator=(const PackageWorker&) = delete;

    // Takes jobs from now on, at once those already queued. False when the thread cannot be made.
    bool Start();
    void RequestStop() { m_thread.RequestStop(); }
    // True when no thread runs (any more) within `timeoutMs`.
    bool Join(DWORD timeoutMs = INFINITE) { return m_thread.Join(timeoutMs); }
    bool JoinPumping(DWORD timeoutMs) { return m_thread.JoinPumping(timeoutMs); }

private:
    // Starts the thread unless it runs or the worker has ended.
    bool Wake();
    void Loop();
    // False when the worker must end for good.
    bool RunQueuedJobs();
    // Under the lock: true when there is a job after all, else the thread is marked as gone.
    bool KeepRunning();

    WorkerFlags& m_flags;
    common::JobQueues& m_queues;
    platform::WorkEvent& m_queued;
    IPackageJobRunner* m_runner;
    HWND m_frame;
    std::mutex m_lock;
    bool m_isRunning = false;  // under m_lock
    bool m_isEnded = false;    // under m_lock
    platform::WorkerThread m_thread;
};
