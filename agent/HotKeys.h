// Registering the agent's hotkeys on its main window.
#pragma once

#include <windows.h>

#include "common/agent/HotKeyBinding.h"

// Unregisters the binding's ID, then registers it again when it has a key. A key held by another program stays
// there; the failure is not reported. Returns whether the key is now registered (false for key 0).
bool BindHotKey(HWND window, const common::HotKeyBinding& binding);
