// The one way the suite replaces a file on the drive: the new content lands beside its target first and then takes
// the target's place in one move, so that the target is always either the old file or the whole new one.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Moves `staged` over `target` with MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). 0, or the
// Windows error code; on failure the target is untouched and `staged` stays where it is.
DWORD MoveOver(const std::wstring& staged, const std::wstring& target);

// Copies `source` (which may lie on another volume) to "<target>.new" beside the target, then moves that over the
// target. 0, or the Windows error code; the staged copy never stays behind and `source` is left alone.
DWORD CopyOver(const std::wstring& source, const std::wstring& target);

// Whether another program holds `path` so that it cannot be replaced or deleted now (a running program, a file
// open without sharing). A missing file is not held.
bool IsFileHeld(const std::wstring& path);

}  // namespace platform
