// Package worker thread: wait for jobs, run them at their pace, stop.
#include "agent/jobs/PackageWorker.h"

#include "common/ipc/Messages.h"

PackageWorker::PackageWorker(WorkerFlags& flags, common::JobQueues& queues, const platform::WorkEvent& queued,
                             platform::StopSignal& stop, HWND frame, IPackageJobRunner* runner)
    : m_flags(flags), m_queues(queues), m_queued(queued), m_runner(runner), m_frame(frame), m_thread(stop) {}

void PackageWorker::Loop() {
    while (m_thread.WaitFor(m_queued.get(), INFINITE) == platform::WorkerThread::Woken::Work) {
        if (!RunQueuedJobs()) {
            break;
        }
    }
    m_flags.isBusy = false;
}

bool PackageWorker::RunQueuedJobs() {
    if (m_runner == nullptr) {
        return true;
    }
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
