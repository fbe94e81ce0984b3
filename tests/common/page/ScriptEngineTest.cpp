#include "common/page/ScriptEngine.h"

#include <gtest/gtest.h>

#include "tests/common/page/FakeScriptClock.h"

namespace common {
namespace {

using testing::SteppingClock;

std::u16string RunAndRead(ScriptEngine& engine, std::u16string_view source) {
    EXPECT_TRUE(engine.Run(source)) << engine.LastError();
    duk_context* context = engine.Context();
    duk_get_global_string(context, "result");
    std::u16string value = ScriptEngine::ToString(context, -1);
    duk_pop(context);
    return value;
}

// Catches a build of the engine that does not run scripts, or mangles Korean text on the way in or out.
TEST(ScriptEngine, RunsAScriptAndCarriesKoreanText) {
    SteppingClock clock;
    ScriptEngine engine(clock);
    EXPECT_EQ(RunAndRead(engine, u"var result = [1, 2, 3].map(function (x) { return x * 2; }).join(',');"),
              u"2,4,6");
    EXPECT_EQ(RunAndRead(engine, u"var result = '설치' + String.fromCharCode(0xAC00) + '\\uD83D\\uDE00';"),
              u"설치가\U0001F600");
    EXPECT_EQ(duk_get_top(engine.Context()), 0);
}

// Catches errors that escape into the host (a crash) or leave the heap unusable for the next script.
TEST(ScriptEngine, ReportsErrorsAndStaysUsable) {
    SteppingClock clock;
    ScriptEngine engine(clock);
    EXPECT_FALSE(engine.Run(u"var x = ;"));
    EXPECT_NE(engine.LastError().find("SyntaxError"), std::string::npos);
    EXPECT_FALSE(engine.Run(u"undefinedFunction();"));
    EXPECT_NE(engine.LastError().find("ReferenceError"), std::string::npos);
    EXPECT_FALSE(engine.WasStopped());
    EXPECT_EQ(RunAndRead(engine, u"var result = 'ok';"), u"ok");
    EXPECT_EQ(duk_get_top(engine.Context()), 0);
}

// Catches a build without the execution timeout check (Debian's configuration as shipped): these loops would
// never end. The clock moves one millisecond per reading, so the budget is a count of checks, not a time.
TEST(ScriptEngine, StopsEndlessScriptsAndRunsTheNextOne) {
    const char16_t* endless[] = {
        u"for (;;) {}",
        u"while (true) { try { for (;;) {} } catch (e) {} }",  // catching the stop does not escape it
        u"function f() { for (;;) {} } f();",
        u"var s = ''; for (;;) { s = s.length > 100 ? '' : s + 'x'; }",
    };
    for (const char16_t* source : endless) {
        SteppingClock clock;
        ScriptEngine engine(clock, 50);
        EXPECT_FALSE(engine.Run(source));
        EXPECT_TRUE(engine.WasStopped()) << engine.LastError();
        EXPECT_LT(clock.Readings(), 1000u);
        EXPECT_EQ(RunAndRead(engine, u"var result = 'after';"), u"after");
        EXPECT_FALSE(engine.WasStopped());
    }
}

// Catches a heap that grows until the process dies: the cap turns it into an error the script sees.
TEST(ScriptEngine, CapsTheHeap) {
    SteppingClock clock(0);  // time stands still: only the cap can end this script (each string is new: equal
                             // strings are interned once and would grow the heap by a pointer a turn)
    ScriptEngine engine(clock, 50, 4u * 1024u * 1024u);
    EXPECT_FALSE(engine.Run(u"var a = []; for (;;) { a.push(new Array(10000).join('x') + a.length); }"));
    EXPECT_FALSE(engine.WasStopped());
    EXPECT_EQ(RunAndRead(engine, u"a = null; var result = 'freed';"), u"freed");
}

}  // namespace
}  // namespace common
