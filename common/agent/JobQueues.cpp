// Install and update queues of the agent.
#include "common/agent/JobQueues.h"

#include <algorithm>

namespace common {

bool JobQueues::Append(JobKind kind, const PackageJob& job) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (ContainsLocked(job.packageIndex)) {
        return false;
    }
    Queue(kind).push_back(job);
    return true;
}

bool JobQueues::Contains(int32_t packageIndex) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return ContainsLocked(packageIndex);
}

size_t JobQueues::Count(JobKind kind) const {
    std::lock_guard<std::mutex> guard(m_lock);
    return Queue(kind).size();
}

std::optional<QueuedJob> JobQueues::Next() const {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_install.empty()) {
        return QueuedJob{JobKind::Install, m_install.front()};
    }
    if (!m_update.empty()) {
        return QueuedJob{JobKind::Update, m_update.front()};
    }
    return std::nullopt;
}

bool JobQueues::RemoveHead(JobKind kind, int32_t packageIndex) {
    std::lock_guard<std::mutex> guard(m_lock);
    std::deque<PackageJob>& queue = Queue(kind);
    if (queue.empty() || queue.front().packageIndex != packageIndex) {
        return false;
    }
    queue.pop_front();
    return true;
}

bool JobQueues::ContainsLocked(int32_t packageIndex) const {
    auto isSame = [packageIndex](const PackageJob& job) { return job.packageIndex == packageIndex; };
    return std::any_of(m_install.begin(), m_install.end(), isSame) ||
           std::any_of(m_update.begin(), m_update.end(), isSame);
}

}  // namespace common
