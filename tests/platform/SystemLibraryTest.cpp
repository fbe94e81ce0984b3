// System DLLs loaded when one of their functions is first asked for.
#include "platform/SystemLibrary.h"

#include <gtest/gtest.h>

#include <commdlg.h>

namespace {

// Catches: a function that cannot be found handed out as if it could (a call through null), a DLL let go while
// its function is still handed out, and a typed lookup that answers otherwise than the untyped one.
TEST(SystemLibrary, FindsSystemFunctionsAndAnswersNullForWhatIsMissing) {
    const auto getOpenFileName =
        platform::SystemLibrary::Function<decltype(&::GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    ASSERT_NE(getOpenFileName, nullptr);
    HMODULE loaded = ::GetModuleHandleW(L"comdlg32.dll");
    ASSERT_NE(loaded, nullptr) << "the DLL stays loaded for the function handed out";
    EXPECT_EQ(reinterpret_cast<void*>(getOpenFileName),
              reinterpret_cast<void*>(::GetProcAddress(loaded, "GetOpenFileNameW")));
    EXPECT_EQ(platform::SystemLibrary::Function(L"comdlg32.dll", "GetOpenFileNameW"),
              ::GetProcAddress(loaded, "GetOpenFileNameW"));

    EXPECT_EQ(platform::SystemLibrary::Function(L"comdlg32.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(platform::SystemLibrary::Function(L"kelvo-no-such-library.dll", "Anything"), nullptr);
    EXPECT_EQ(::GetModuleHandleW(L"kelvo-no-such-library.dll"), nullptr);
}

}  // namespace
