// Messages the agent's main frame handles besides the system's, with the numbers the senders use.
#pragma once

#include <windows.h>

inline constexpr UINT kMsgTrayNotify = WM_USER + 1;
inline constexpr UINT kMsgBrowserUpdateQueued = WM_USER + 2;
inline constexpr UINT kMsgBrowserInstallQueued = WM_USER + 3;
inline constexpr UINT kMsgBrowserClosed = WM_USER + 4;
inline constexpr UINT kMsgCheckForUpdate = WM_USER + 1006;
