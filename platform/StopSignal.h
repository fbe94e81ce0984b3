// The one stop of a worker and the transfer it runs: a flag, an event to wait on, and the running transfer's
// handle, closed by the stop so that a call blocked inside the network returns.
#pragma once

#include <windows.h>

#include <mutex>

#include "platform/UniqueHandle.h"

namespace platform {

// How it works: Stop() sets the flag and the manual-reset event, and closes a lent handle with the function it
// was lent with; on Windows a call blocked on that handle (or one below it) returns with an error, while Wine 8
// lets a blocked receive run to its timeout. A transfer lends its root handle for as long as it works with it
// and takes it back before it closes its handles itself, learning whether they are still its to close.
//
// Every member may be called from any thread. One transfer at a time may lend its handle.
class StopSignal {
public:
    using CloseFunction = BOOL(WINAPI*)(void* handle);

    StopSignal();
    StopSignal(const StopSignal&) = delete;
    StopSignal& operator=(const StopSignal&) = delete;

    void Stop();
    bool IsStopped() const;
    // Clears a stop, for the next run.
    void Reset();
    // Signalled while stopped; for waits that must end with the stop.
    HANDLE Event() const { return m_event.get(); }

    // False when the stop came first: the transfer must give up without a network call.
    bool Lend(void* handle, CloseFunction close);
    // True when the handle is still open and the transfer closes its handles as usual; false when Stop closed
    // them, and the transfer must only forget them.
    bool TakeBack();

private:
    mutable std::mutex m_lock;
    UniqueKernelHandle m_event;
    void* m_lent = nullptr;
    CloseFunction m_close = nullptr;
    bool m_isStopped = false;
};

}  // namespace platform
