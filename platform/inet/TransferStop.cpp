// Stopping a fetch from another thread.
#include "platform/inet/TransferStop.h"

namespace platform {

void TransferStop::Stop() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_isStopped = true;
    if (m_lent != nullptr) {
        ::InternetCloseHandle(m_lent);
        m_lent = nullptr;
    }
}

bool TransferStop::IsStopped() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_isStopped;
}

void TransferStop::Reset() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_isStopped = false;
}

bool TransferStop::Lend(HINTERNET root) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_isStopped) {
        return false;
    }
    m_lent = root;
    return true;
}

bool TransferStop::TakeBack() {
    std::lock_guard<std::mutex> guard(m_lock);
    const bool isStillOpen = m_lent != nullptr;
    m_lent = nullptr;
    return isStillOpen;
}

}  // namespace platform
