// The monotonic clock behind a page's script budget.
#include "common/page/ScriptClock.h"

#include <chrono>

namespace common {

namespace {

class SteadyClock final : public IScriptClock {
public:
    uint64_t NowMs() override {
        auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }
};

}  // namespace

IScriptClock& SteadyScriptClock() {
    static SteadyClock clock;
    return clock;
}

}  // namespace common
