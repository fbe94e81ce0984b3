// Win32 file access: whole-file reads and write-temp-then-move replacement.
#include "platform/FileStoreWin.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/FileReplace.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"

namespace platform {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "paths are passed to Win32 as UTF-16 without conversion");

namespace {

// A file another program (or thread) is reading cannot be replaced even when it is shared for deletion; readers
// hold it for milliseconds, so the move is tried again for up to about half a second before the save fails.
constexpr int kMoveAttempts = 20;
constexpr DWORD kMovePauseMs = 25;

DWORD MoveOverWhenLetGo(const std::wstring& temp, const std::wstring& target) {
    DWORD code = MoveOver(temp, target);
    for (int attempt = 1; attempt < kMoveAttempts && (code == ERROR_ACCESS_DENIED || code == ERROR_SHARING_VIOLATION);
         ++attempt) {
        ::Sleep(kMovePauseMs);
        code = MoveOver(temp, target);
    }
    return code;
}

bool WriteAllTo(HANDLE file, const std::vector<uint8_t>& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
        DWORD count = 0;
        if (!::WriteFile(file, bytes.data() + written, chunk, &count, nullptr) || count == 0) {
            return false;
        }
        written += count;
    }
    return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> FileStoreWin::ReadAll(const std::u16string& path) {
    std::wstring widePath = ToWide(path);
    UniqueFileHandle file(::CreateFileW(widePath.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    LARGE_INTEGER size;
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > kMaxReadBytes) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(size.QuadPart));
    uint8_t chunk[16384];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(file.get(), chunk, sizeof(chunk), &count, nullptr)) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        if (bytes.size() + count > kMaxReadBytes) {
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    return bytes;
}

bool FileStoreWin::WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) {
    if (path.empty()) {
        return false;
    }
    std::wstring target = ToWide(path);
    static LONG s_counter = 0;
    std::wstring temp;
    UniqueFileHandle file;
    // CREATE_NEW never opens a leftover of another writer; a taken name just moves on to the next number.
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temp = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
               std::to_wstring(::InterlockedIncrement(&s_counter)) + L".tmp";
        file.reset(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file && ::GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (!file) {
        return false;
    }
    bool isWritten = WriteAllTo(file.get(), bytes) && ::FlushFileBuffers(file.get());
    bool isClosed = ::CloseHandle(file.release()) != FALSE;
    if (!isWritten || !isClosed || MoveOverWhenLetGo(temp, target) != 0) {
        ::DeleteFileW(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
