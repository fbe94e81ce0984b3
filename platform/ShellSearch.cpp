// Opening the system's file search.
#include "platform/ShellSearch.h"

#include <windows.h>
#include <shlobj.h>

namespace platform {

namespace {
constexpr DWORD kKeyPauseMs = 100;
constexpr BYTE kKeyF = 'F';
}  // namespace

void OpenSystemSearch(const std::wstring& root, bool isKeyChordSkippedWithExplorer) {
    PIDLIST_ABSOLUTE folder = ::SHSimpleIDListFromPath(root.c_str());
    const bool isOpened = folder != nullptr && ::SHFindFiles(folder, nullptr) == TRUE;
    // SHFindFiles takes the list over when it succeeds.
    if (isOpened) {
        return;
    }
    if (folder != nullptr) {
        ::ILFree(folder);
    }
    if (isKeyChordSkippedWithExplorer && ::FindWindowW(L"CabinetWClass", nullptr) != nullptr) {
        return;
    }
    ::keybd_event(VK_LWIN, 0, 0, 0);
    ::keybd_event(kKeyF, 0, 0, 0);
    ::Sleep(kKeyPauseMs);
    ::keybd_event(kKeyF, 0, KEYEVENTF_KEYUP, 0);
    ::Sleep(kKeyPauseMs);
    ::keybd_event(VK_LWIN, 0, KEYEVENTF_KEYUP, 0);
}

}  // namespace platform
