// Output conventions of kdrive.
#include "Console.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>

namespace kdrive {
namespace {

void WriteUtf8(FILE* stream, const std::wstring& text) {
    std::string bytes = ToUtf8(text);
    bytes.push_back('\n');
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

}  // namespace

void InitOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                            nullptr);
    }
    return bytes;
}

void PrintLine(const std::wstring& text) {
    WriteUtf8(stdout, text);
}

int Fail(const std::wstring& reason) {
    WriteUtf8(stderr, L"kdrive: " + reason);
    return kExitFailed;
}

int UsageError(const std::wstring& reason) {
    WriteUtf8(stderr, L"kdrive: " + reason);
    return kExitUsage;
}

int FailWithLastError(const std::wstring& reason) {
    return Fail(reason + L" (error " + std::to_wstring(GetLastError()) + L")");
}

std::wstring HexHandle(HWND hwnd) {
    wchar_t buffer[32];
    swprintf(buffer, 32, L"0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(hwnd)));
    return buffer;
}

}  // namespace kdrive
