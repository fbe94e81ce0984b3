// The flags the agent's UI thread and its package worker share besides the stop.
#pragma once

#include <atomic>

// Owned by the application object; both threads read and write them without a lock, each flag atomic on its own.
struct WorkerFlags {
    std::atomic<bool> isBusy{false};       // the worker is inside a job
    std::atomic<bool> isQuietExit{false};  // the exit procedure asks no confirmation
};
