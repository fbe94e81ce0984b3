// The clock that bounds how long a page's script may run. Injected so tests decide when time is up.
#pragma once

#include <cstdint>

namespace common {

class IScriptClock {
public:
    virtual ~IScriptClock() = default;
    // Milliseconds from any fixed start; never goes back.
    virtual uint64_t NowMs() = 0;
};

// The process's monotonic clock (std::chrono::steady_clock). Stateless; any thread.
IScriptClock& SteadyScriptClock();

}  // namespace common
