// Replacing a file by a move from beside it.
#include "platform/FileReplace.h"

#include "platform/UniqueHandle.h"

namespace platform {

namespace {
constexpr wchar_t kStagedSuffix[] = L".new";

// A failed call never reports success, even when it left no error code.
DWORD LastErrorOrFailure() {
    const DWORD code = ::GetLastError();
    return code != 0 ? code : ERROR_GEN_FAILURE;
}
}  // namespace

DWORD MoveOver(const std::wstring& staged, const std::wstring& target) {
    if (::MoveFileExW(staged.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return 0;
    }
    return LastErrorOrFailure();
}

DWORD CopyOver(const std::wstring& source, const std::wstring& target) {
    const std::wstring staged = target + kStagedSuffix;
    if (!::CopyFileW(source.c_str(), staged.c_str(), FALSE)) {
        const DWORD code = LastErrorOrFailure();
        ::DeleteFileW(staged.c_str());
        return code;
    }
    const DWORD code = MoveOver(staged, target);
    if (code != 0) {
        ::DeleteFileW(staged.c_str());
    }
    return code;
}

bool IsFileHeld(const std::wstring& path) {
    UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) {
        return false;
    }
    const DWORD code = ::GetLastError();
    return code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND;
}

}  // namespace platform
