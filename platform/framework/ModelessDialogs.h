// The modeless dialogs of one UI thread, so its message loop can give them their keyboard handling.
#pragma once

#include <windows.h>

#include <vector>

namespace platform {

// Not thread-safe: owned by the UI thread's App and touched only from that thread. Dialogs add themselves when
// created modeless and remove themselves at WM_NCDESTROY, so the list never holds a destroyed window for long.
class ModelessDialogs {
public:
    void Add(HWND dialog);
    void Remove(HWND dialog);
    // True when one of the dialogs consumed the message through IsDialogMessageW (Tab, Enter, Esc, mnemonics).
    bool Route(MSG& msg) const;
    bool empty() const { return m_dialogs.empty(); }

private:
    std::vector<HWND> m_dialogs;
};

}  // namespace platform
