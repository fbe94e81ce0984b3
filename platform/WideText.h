// The text edge between portable code (char16_t) and Win32 (wchar_t, 16-bit under MinGW).
#pragma once

#include <string>
#include <string_view>

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 text is UTF-16");

inline std::wstring ToWide(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

inline std::u16string FromWide(const std::wstring& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.data()), text.size());
}

inline const wchar_t* WideCStr(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace platform
