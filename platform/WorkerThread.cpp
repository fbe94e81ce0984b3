// Worker thread: start-up hand-shake, event waits, joins.
#include "platform/WorkerThread.h"

#include <process.h>

namespace platform {

WorkerThread::~WorkerThread() {
    RequestStop();
    Join();
}

bool WorkerThread::Start(std::function<void()> body) {
    if (m_thread) {
        return true;
    }
    m_ready.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!m_ready || m_stop.Event() == nullptr) {
        return false;
    }
    m_body = std::move(body);
    uintptr_t thread = ::_beginthreadex(nullptr, 0, &WorkerThread::ThreadMain, this, 0, nullptr);
    if (thread == 0) {
        return false;
    }
    m_thread.reset(reinterpret_cast<HANDLE>(thread));
    HANDLE waits[] = {m_ready.get(), m_thread.get()};
    ::WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    return true;
}

unsigned __stdcall WorkerThread::ThreadMain(void* self) {
    auto* worker = static_cast<WorkerThread*>(self);
    ::SetEvent(worker->m_ready.get());
    // No exception leaves the thread entry.
    try {
        worker->m_body();
    } catch (...) {
        return 1;
    }
    return 0;
}

WorkerThread::Woken WorkerThread::WaitFor(HANDLE work, DWORD timeoutMs) const {
    HANDLE waits[] = {m_stop.Event(), work};
    const DWORD count = work != nullptr ? 2 : 1;
    switch (::WaitForMultipleObjects(count, waits, FALSE, timeoutMs)) {
        case WAIT_OBJECT_0 + 1:
            return Woken::Work;
        case WAIT_TIMEOUT:
            return Woken::Timeout;
        default:
            return Woken::Stop;  // the stop, or a wait that failed and would fail again
    }
}

bool WorkerThread::Join(DWORD timeoutMs) {
    if (!m_thread) {
        return true;
    }
    if (::WaitForSingleObject(m_thread.get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    m_thread.reset();
    return true;
}

bool WorkerThread::JoinPumping(DWORD timeoutMs) {
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

}  // namespace platform
