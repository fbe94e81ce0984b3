// The agent's install and update queues: filled by the store page on the UI thread, emptied by the package
// worker, one job at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

#include "common/model/FixedText.h"

namespace common {

struct PackageJob {
    int32_t packageIndex = 0;    // the store's number, PKGID in TolvEnv.xml
    FixedText<260> profilePath;  // "/<store directory>/<package name>/Profile.xml"
    FixedText<100> packageName;  // folder name in the download area and in failure reports
    FixedText<100> storeDirectory;
};

enum class JobKind { Update = 2, Install = 3 };

struct QueuedJob {
    JobKind kind;
    PackageJob job;
};

// How it works: two first-in, first-out queues under one lock. The worker looks at the next job (installs before
// updates) without taking it, works on its own copy, and removes it when done, so a job stays visible to the
// "already queued" check for the whole time it is being handled. Every member may be called from any thread.
class JobQueues {
public:
    // Appends at the tail unless a job for the same package index is in either queue (also one being handled).
    // Returns whether the job was added.
    bool Append(JobKind kind, const PackageJob& job);
    bool Contains(int32_t packageIndex) const;
    size_t Count(JobKind kind) const;

    // The head of the install queue, else the head of the update queue; nullopt when both are empty.
    std::optional<QueuedJob> Next() const;
    // Removes the head of `kind`'s queue when it is the job for `packageIndex`; false when it is not (the queue
    // changed meanwhile, which only the worker does, so this means a caller error).
    bool RemoveHead(JobKind kind, int32_t packageIndex);

private:
    std::deque<PackageJob>& Queue(JobKind kind) { return kind == JobKind::Install ? m_install : m_update; }
    const std::deque<PackageJob>& Queue(JobKind kind) const { return kind == JobKind::Install ? m_install : m_update; }
    bool ContainsLocked(int32_t packageIndex) const;

    mutable std::mutex m_lock;
    std::deque<PackageJob> m_install;
    std::deque<PackageJob> m_update;
};

}  // namespace common
