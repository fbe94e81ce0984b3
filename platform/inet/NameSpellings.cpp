// Remote path spellings through the system's code page conversions.
#include "platform/inet/NameSpellings.h"

#include <windows.h>

#include <algorithm>
#include <optional>

namespace platform {

namespace {

constexpr UINT kKoreanCodePage = 949;

// The path in the code page as WinINet converts it (best-fit characters and '?' included).
std::string Converted(const std::wstring& path, UINT codePage, DWORD flags, BOOL* usedDefault) {
    int size = ::WideCharToMultiByte(codePage, flags, path.c_str(), static_cast<int>(path.size()), nullptr, 0, nullptr,
                                     usedDefault);
    std::string bytes(size > 0 ? static_cast<size_t>(size) : 0, '\0');
    if (size > 0) {
        ::WideCharToMultiByte(codePage, flags, path.c_str(), static_cast<int>(path.size()), bytes.data(), size, nullptr,
                              usedDefault);
    }
    return bytes;
}

// The path in the code page, or nothing when a character has no exact form there: a best-fit stand-in ('e' for
// 'é') could name another file.
std::optional<std::string> Spelled(const std::wstring& path, UINT codePage) {
    if (codePage == CP_UTF8) {
        return Converted(path, codePage, 0, nullptr);
    }
    BOOL usedDefault = FALSE;
    std::string bytes = Converted(path, codePage, WC_NO_BEST_FIT_CHARS, &usedDefault);
    if (usedDefault || bytes.empty()) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::vector<std::string> OtherNameSpellings(const std::wstring& path) {
    std::vector<std::string> spellings;
    if (std::all_of(path.begin(), path.end(), [](wchar_t unit) { return unit < 0x80; })) {
        return spellings;
    }
    const std::string sent = Converted(path, CP_ACP, 0, nullptr);
    for (UINT codePage : {static_cast<UINT>(CP_UTF8), kKoreanCodePage}) {
        std::optional<std::string> bytes = Spelled(path, codePage);
        if (bytes && bytes != sent && std::find(spellings.begin(), spellings.end(), *bytes) == spellings.end()) {
            spellings.push_back(*bytes);
        }
    }
    return spellings;
}

std::wstring PercentEncodedPath(const std::string& bytes) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring encoded;
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        if (byte > 0x7F || byte == ' ' || byte == '%') {
            encoded += L'%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += static_cast<wchar_t>(byte);
        }
    }
    return encoded;
}

}  // namespace platform
