// The agent's notification-area icon.
#pragma once

#include <windows.h>

#include <shellapi.h>

// Two habits: the icon is put up with NIM_MODIFY first and only added when that fails, so a restarted agent
// reuses an icon still standing; and it is added again whenever the taskbar is re-created ("TaskbarCreated"),
// since a restarted shell forgets every icon. Calling thread: the UI thread that owns `owner`.
class TrayIcon {
public:
    static constexpr UINT kIconId = 0xE000;

    // Fills the whole record; the icon is borrowed and must outlive the tray icon.
    void Init(HWND owner, HICON icon, const wchar_t* tip);
    // NIM_MODIFY, then NIM_ADD when there was no icon. False when neither worked (not reported to the user).
    bool Put();
    // After the taskbar was re-created: the icon is gone, so add it outright.
    bool Add();
    void Delete();

private:
    NOTIFYICONDATAW m_data = {};
};
