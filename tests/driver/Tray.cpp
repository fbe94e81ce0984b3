// Notification-area probes and registered messages.
#include "Tray.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "Console.h"
#include "TopWindows.h"

namespace kdrive {

int RunTray(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = hwnd;
    data.uID = static_cast<UINT>(args.Number(L"id", 0));
    if (args.Has(L"remove")) {
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    // A modification that changes nothing succeeds only for an icon the shell holds.
    data.uFlags = 0;
    PrintLine(Shell_NotifyIconW(NIM_MODIFY, &data) ? L"shown" : L"absent");
    return kExitOk;
}

int RunRegistered(const Args& args) {
    UINT message = RegisterWindowMessageW(args.Text(L"name").c_str());
    if (message == 0) {
        return FailWithLastError(L"RegisterWindowMessage failed");
    }
    PrintLine(std::to_wstring(message));
    return kExitOk;
}

}  // namespace kdrive
