// What the scripts that start a local store tell the Windows-side tests, through environment variables.
#pragma once

#include <windows.h>

#include <string>

namespace kelvo_test {

// The variable's value; empty when it is not set (the test then skips) or longer than 1023 units.
inline std::wstring EnvironmentText(const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

}  // namespace kelvo_test
