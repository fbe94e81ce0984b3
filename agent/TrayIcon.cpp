// Tray icon record and its three shell calls.
#include "agent/TrayIcon.h"

#include <cwchar>

#include "common/ipc/Messages.h"

void TrayIcon::Init(HWND owner, HICON icon, const wchar_t* tip) {
    m_data = {};
    m_data.cbSize = sizeof(m_data);
    m_data.hWnd = owner;
    m_data.uID = kIconId;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = common::kMsgTrayNotify;
    m_data.hIcon = icon;
    std::wcsncpy(m_data.szTip, tip, sizeof(m_data.szTip) / sizeof(m_data.szTip[0]) - 1);
}

bool TrayIcon::Put() {
    if (::Shell_NotifyIconW(NIM_MODIFY, &m_data)) {
        return true;
    }
    return Add();
}

bool TrayIcon::Add() {
    return ::Shell_NotifyIconW(NIM_ADD, &m_data) != FALSE;
}

void TrayIcon::Delete() {
    ::Shell_NotifyIconW(NIM_DELETE, &m_data);
}
