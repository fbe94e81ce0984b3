// The system's file search, opened on a drive by the agent's search hotkey and the launcher's search button.
#pragma once

#include <string>

namespace platform {

// Opens the shell's search on `root` ("X:" or "X:\"). When the shell cannot, the Windows+F key chord opens it
// instead, unless `isKeyChordSkippedWithExplorer` and an Explorer window is open (the chord would then search
// that window's folder rather than the drive).
void OpenSystemSearch(const std::wstring& root, bool isKeyChordSkippedWithExplorer);

}  // namespace platform
