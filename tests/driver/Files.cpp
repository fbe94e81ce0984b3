// hold: opens a file for reading and shares it for reading only, so that nothing can write, replace or delete it
// while it is held; writes the ready file, then waits until the release file exists or the time is up.
#include "Files.h"

#include <windows.h>

#include "Console.h"

namespace kdrive {

namespace {

constexpr DWORD kPollMs = 20;
constexpr int64_t kDefaultHoldMs = 60000;

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int RunHold(const Args& args) {
    const std::wstring path = args.Text(L"file");
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return FailWithLastError(L"opening the file to hold failed");
    }
    HANDLE ready = ::CreateFileW(args.Text(L"ready").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready == INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
        return FailWithLastError(L"writing the ready file failed");
    }
    ::CloseHandle(ready);
    const std::wstring release = args.Text(L"release");
    const ULONGLONG until = ::GetTickCount64() + static_cast<ULONGLONG>(args.Number(L"timeout-ms", kDefaultHoldMs));
    while (!Exists(release) && ::GetTickCount64() < until) {
        ::Sleep(kPollMs);
    }
    ::CloseHandle(file);
    return kExitOk;
}

}  // namespace kdrive
