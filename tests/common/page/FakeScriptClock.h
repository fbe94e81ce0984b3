// A script clock for tests: every reading moves it on by a fixed step, so a script that never ends meets its
// deadline after a known number of checks and no test waits on real time.
#pragma once

#include "common/page/ScriptClock.h"

namespace common::testing {

class SteppingClock final : public IScriptClock {
public:
    explicit SteppingClock(uint64_t stepMs = 1) : m_stepMs(stepMs) {}
    uint64_t NowMs() override {
        ++m_readings;
        m_now += m_stepMs;
        return m_now;
    }
    uint64_t Readings() const { return m_readings; }

private:
    uint64_t m_stepMs;
    uint64_t m_now = 0;
    uint64_t m_readings = 0;
};

}  // namespace common::testing
