// The one door through which the framework's programs show message boxes, so tests can answer them headless.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// Shows a box and returns the button pressed (IDOK, IDYES, IDNO, ...), as MessageBoxW does; 0 when none could be
// shown. Called on the thread that owns `owner` (or any UI thread when owner is null); blocks until answered.
class IMessageBoxes {
public:
    virtual ~IMessageBoxes() = default;
    virtual int Show(HWND owner, const std::wstring& text, const std::wstring& title, UINT type) = 0;
};

}  // namespace platform
