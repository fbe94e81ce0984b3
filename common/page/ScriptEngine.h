// One JavaScript heap (Duktape) for one page: runs the page's scripts with a time budget and a memory cap, and
// carries strings between the suite's UTF-16 text and the engine.
//
// How the time budget works: Duktape calls its execution timeout check every few thousand instructions. The
// outermost Run or Call sets a deadline of `budgetMs` from the clock's now; once the clock passes it, every check
// answers "stop" and Duktape throws a RangeError into the script. A script that catches it is stopped again at
// its next check, so the error reaches Run/Call, which report failure. Native functions that call back into the
// script (an onclick handler calling alert, say) run within the same deadline.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "DuktapeBudget.h"
#include "common/page/ScriptClock.h"
#include "duktape.h"

namespace common {

inline constexpr uint32_t kScriptBudgetMs = 2000;
// A page's heap may not grow past this; an allocation beyond it fails and the script sees an error.
inline constexpr size_t kScriptHeapLimit = 64u * 1024u * 1024u;

class ScriptEngine {
public:
    // `clock` must outlive the engine. UI thread only.
    explicit ScriptEngine(IScriptClock& clock, uint32_t budgetMs = kScriptBudgetMs,
                          size_t heapLimit = kScriptHeapLimit);
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    duk_context* Context() { return m_context; }

    // Compiles and runs `source` as a program; false on a syntax error, an uncaught throw or when stopped. The
    // value stack is as before either way.
    bool Run(std::u16string_view source);
    // Calls the function at stack index -(argCount + 2) with `this` at -(argCount + 1) and argCount arguments
    // above it (duk_pcall_method's layout), pops them all and leaves nothing. False as for Run.
    // `returnedFalse`, when given, tells whether the function returned exactly false (a handler's "cancel").
    bool CallMethod(int argCount, bool* returnedFalse = nullptr);
    // True when the last outermost Run or CallMethod was stopped by the budget.
    bool WasStopped() const { return m_wasStopped; }
    // The last error's message, for tests and diagnostics.
    const std::string& LastError() const { return m_lastError; }

    // Strings in and out of the engine (which holds text as CESU-8: one to three bytes per UTF-16 unit).
    static void PushString(duk_context* context, std::u16string_view text);
    // The value at `index` converted to a string as the script's String(value) would; an error converting it
    // gives an empty string.
    static std::u16string ToString(duk_context* context, duk_idx_t index);

private:
    static int IsExhausted(void* self);
    static void* Allocate(void* self, duk_size_t size);
    static void* Reallocate(void* self, void* block, duk_size_t size);
    static void Free(void* self, void* block);
    bool Enter();
    bool Leave(duk_int_t result, bool* returnedFalse = nullptr);

    IScriptClock& m_clock;
    uint32_t m_budgetMs;
    size_t m_heapLimit;
    size_t m_heapUsed = 0;
    uint64_t m_deadline = 0;
    int m_depth = 0;
    bool m_wasStopped = false;
    std::string m_lastError;
    KelvoDukBudget m_budget{};
    duk_context* m_context = nullptr;
};

}  // namespace common
