// Package worker thread: started by queued jobs, runs them at their pace, ends when none are left or on a stop.
#include "agent/jobs/PackageWorker.h"

#include "common/ipc/Messages.h"

PackageWorker::PackageWorker(WorkerFlags& flags, common::JobQueues& queues, platform::WorkEvent& queued,
                             platform::StopSignal& stop, HWND frame, IPackageJobRunner* runner)
    : m_flags(flags), m_queues(queues), m_queued(queued), m_runner(runner), m_frame(frame), m_thread(stop) {}

PackageWorker::~PackageWorker() {
    m_queued.SetWaker(nullptr);
}

bool PackageWorker::Start() {
    m_queued.SetWaker([this] { Wake(); });
    return m_queues.Next() ? Wake() : true;
}

bool PackageWorker::Wake() {
    {
        std::lock_guard<std::mutex> lock(m_lock);
        if (m_runner == nullptr || m_isRunning || m_isEnded || m_thread.IsStopRequested()) {
            return true;
        }
        m_isRunning = true;
    }
    // A thread that found the queues empty is past its last look and ends at once.
    m_thread.Join();
    if (!m_thread.Start([this] { Loop(); })) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_isRunning = false;
        return false;
    }
    return true;
}

void PackageWorker::Loop() {
    bool isEnding = false;
    while (!isEnding && KeepRunning()) {
        isEnding = !RunQueuedJobs();
    }
    if (isEnding) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_isRunning = false;
        m_isEnded = true;
    }
    m_flags.isBusy = false;
}

bool PackageWorker::KeepRunning() {
    std::lock_guard<std::mutex> lock(m_lock);
    if (m_queues.Next()) {
        return true;
    }
    m_isRunning = false;
    return false;
}

bool PackageWorker::RunQueuedJobs() {
    while (std::optional<common::QueuedJob> next = m_queues.Next()) {
        if (m_thread.IsStopRequested()) {
            return false;
        }
        m_flags.isBusy = true;
        if (m_frame != nullptr) {
            ::PostMessageW(m_frame, common::kMsgWorkerShowLauncher, 0, 0);
        }
        JobOutcome outcome = m_runner->Run(*next);
        m_queues.RemoveHead(next->kind, next->job.packageIndex);
        m_flags.isBusy = false;
        if (outcome == JobOutcome::Cancelled) {
            // A cancelled job ends the worker; the exit procedure that asked for it asks nothing more.
            m_flags.isQuietExit = true;
            if (m_frame != nullptr) {
                ::PostMessageW(m_frame, common::kMsgShutDown, 0, 0);
            }
            return false;
        }
        if (m_thread.WaitFor(nullptr, kJobPaceMs) == platform::WorkerThread::Woken::Stop) {
            return false;
        }
    }
    return true;
}
