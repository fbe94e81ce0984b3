// Package worker thread: start-up hand-shake, one-second poll, cooperative stop.
#include "agent/jobs/PackageWorker.h"

#include <process.h>

#include "common/ipc/Messages.h"

PackageWorker::PackageWorker(WorkerFlags& flags, common::JobQueues& queues, HWND frame, IPackageJobRunner* runner)
    : m_flags(flags), m_queues(queues), m_runner(runner), m_frame(frame) {}

PackageWorker::~PackageWorker() {
    RequestStop();
    Join();
}

bool PackageWorker::Start() {
    if (m_thread) {
        return true;
    }
    m_stop.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    m_ready.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_stop || !m_ready) {
        return false;
    }
    uintptr_t thread = ::_beginthreadex(nullptr, 0, &PackageWorker::ThreadMain, this, 0, nullptr);
    if (thread == 0) {
        return false;
    }
    m_thread.reset(reinterpret_cast<HANDLE>(thread));
    HANDLE waits[] = {m_ready.get(), m_thread.get()};
    ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return true;
}

void PackageWorker::RequestStop() {
    if (m_stop) {
        ::SetEvent(m_stop.get());
    }
}

bool PackageWorker::Join(DWORD timeoutMs) {
    if (!m_thread) {
        return true;
    }
    if (::WaitForSingleObject(m_thread.get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    m_thread.reset();
    return true;
}

bool PackageWorker::JoinPumping(DWORD timeoutMs) {
    if (!m_thread) {
        return true;
    }
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD remaining = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        HANDLE thread = m_thread.get();
        DWORD woken = ::MsgWaitForMultipleObjects(1, &thread, FALSE, remaining, QS_ALLINPUT);
        if (woken == WAIT_OBJECT_0) {
            m_thread.reset();
            return true;
        }
        if (woken != WAIT_OBJECT_0 + 1) {
            return false;  // timed out, or the wait itself failed
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Not ours to take: the loop that waits on us ends the program with it.
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return false;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

unsigned __stdcall PackageWorker::ThreadMain(void* self) {
    // No exception leaves the thread entry.
    try {
        static_cast<PackageWorker*>(self)->Loop();
    } catch (...) {
        return 1;
    }
    return 0;
}

void PackageWorker::Loop() {
    ::SetEvent(m_ready.get());
    while (m_flags.isRunning.load() && ::WaitForSingleObject(m_stop.get(), kPollIntervalMs) == WAIT_TIMEOUT) {
        if (!PollQueues()) {
            break;
        }
    }
    m_flags.isBusy = false;
}

bool PackageWorker::PollQueues() {
    std::optional<common::QueuedJob> next = m_queues.Next();
    if (!next || m_runner == nullptr || m_flags.isCancelled.load()) {
        return true;
    }
    m_flags.isBusy = true;
    if (m_frame != nullptr) {
        ::PostMessageW(m_frame, common::kMsgWorkerShowLauncher, 0, 0);
    }
    JobOutcome outcome = m_runner->Run(*next);
    m_queues.RemoveHead(next->kind, next->job.packageIndex);
    m_flags.isBusy = false;
    if (outcome != JobOutcome::Cancelled) {
        return true;
    }
    // A cancelled job ends the worker; the exit procedure that asked for it asks nothing more.
    m_flags.isQuietExit = true;
    if (m_frame != nullptr) {
        ::PostMessageW(m_frame, common::kMsgShutDown, 0, 0);
    }
    return false;
}
