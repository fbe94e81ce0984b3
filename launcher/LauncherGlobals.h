// The launcher's two program-wide values: its window (owner of message boxes, target of its own posts) and
// its folder (where every file it reads or writes lies). Both are set once at start-up, on the UI thread.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/IMessageBoxes.h"

extern HWND g_mainWindow;
extern std::u16string g_launcherFolder;

// Computes the launcher folder from the running executable; shows the fixed error box and returns an empty
// folder when the path cannot be obtained or holds no backslash.
std::u16string ComputeLauncherFolder(platform::IMessageBoxes& boxes);
