// Hotkey (re)registration.
#include "agent/HotKeys.h"

bool BindHotKey(HWND window, const common::HotKeyBinding& binding) {
    ::UnregisterHotKey(window, binding.id);
    if (binding.key == 0) {
        return false;
    }
    return ::RegisterHotKey(window, binding.id, binding.modifiers, binding.key) != FALSE;
}
