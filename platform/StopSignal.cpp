// Stopping a worker and its transfer from another thread.
#include "platform/StopSignal.h"

namespace platform {

StopSignal::StopSignal() : m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

void StopSignal::Stop() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_isStopped = true;
    ::SetEvent(m_event.get());
    if (m_lent != nullptr) {
        m_close(m_lent);
        m_lent = nullptr;
    }
}

bool StopSignal::IsStopped() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_isStopped;
}

void StopSignal::Reset() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_isStopped = false;
    ::ResetEvent(m_event.get());
}

bool StopSignal::Lend(void* handle, CloseFunction close) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_isStopped) {
        return false;
    }
    m_lent = handle;
    m_close = close;
    return true;
}

bool StopSignal::TakeBack() {
    std::lock_guard<std::mutex> guard(m_lock);
    const bool isStillOpen = m_lent != nullptr;
    m_lent = nullptr;
    return isStillOpen;
}

}  // namespace platform
