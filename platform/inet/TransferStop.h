// Ending a running fetch from another thread, also when it is blocked inside a network call.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <mutex>

namespace platform {

// How it works: a fetch lends its root internet handle for as long as it works with it. Stop() marks the stop and
// closes a lent handle; WinINet then closes the handles below it, and on Windows a call blocked on one of them
// returns with an error (Wine 8 lets the blocked receive run to its timeout instead). The fetch takes its handle back
// before it closes its handles itself, and learns whether they are still its to close. The transfer loop also checks
// IsStopped between chunks.
//
// Every member may be called from any thread. One fetch at a time may lend its handle.
class TransferStop {
public:
    void Stop();
    bool IsStopped() const;
    // Clears a stop, for the next job.
    void Reset();

    // False when the stop came first: the fetch must give up without a network call.
    bool Lend(HINTERNET root);
    // True when the handle is still open and the fetch closes its handles as usual; false when Stop closed them,
    // and the fetch must only forget them.
    bool TakeBack();

private:
    mutable std::mutex m_lock;
    HINTERNET m_lent = nullptr;
    bool m_isStopped = false;
};

}  // namespace platform
