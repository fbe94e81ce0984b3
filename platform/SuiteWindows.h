// Finding the suite's other programs: each by the window class (and, for the launcher, the title) it registers.
#pragma once

#include <windows.h>

#include "common/ipc/SuiteNames.h"
#include "platform/Hwnd.h"
#include "platform/WideText.h"

namespace platform {

// Null when the program is not running. Any thread.
inline Hwnd FindLauncherWindow() {
    return Hwnd::Find(WideCStr(common::kLauncherClass), WideCStr(common::kLauncherTitle));
}
inline Hwnd FindAgentWindow() {
    return Hwnd::Find(WideCStr(common::kAgentClass));
}
inline Hwnd FindSettingsWindow() {
    return Hwnd::Find(WideCStr(common::kSettingsClass));
}

}  // namespace platform
