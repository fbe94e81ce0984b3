// A program's top-level window: its own class (name, icon, styles), typed handlers, possibly never shown.
#pragma once

#include <windows.h>

#include "platform/WindowBase.h"

namespace platform {

// How the frame's window class is registered. The class is registered once per process by name; a second frame
// of the same class reuses the first registration whatever these fields say.
struct FrameClass {
    const wchar_t* className = nullptr;
    UINT iconId = 0;  // icon resource of the program; 0 or a missing resource: the system's
    UINT classStyle = CS_DBLCLKS;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    // A system cursor; nullptr registers none, so the pointer keeps the shape it comes in with.
    const wchar_t* cursorId = IDC_ARROW;
};

// Calling thread: the UI thread that runs the program's loop. A frame that ends the program posts WM_QUIT from its
// own OnDestroy; the base does not, so hidden helper frames can come and go.
class FrameWindow : public WindowBase {
public:
    // Registers the class and creates the window without showing it (WS_VISIBLE in `style` shows it at once).
    // False when registration or creation fails, including an OnCreate that returned false.
    bool CreateFrame(HINSTANCE instance, const FrameClass& frameClass, const wchar_t* title, DWORD style,
                     DWORD exStyle = 0, const RECT* rect = nullptr);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // False refuses the window: CreateWindowExW then fails and no WM_DESTROY reaches OnDestroy.
    virtual bool OnCreate(const CREATESTRUCTW& create);
    virtual void OnDestroy() {}
    // A menu item or accelerator (control null, code 0 or 1) or a child control's notification. True when
    // handled; false lets the message go on to the default handling.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual void OnTimer(UINT_PTR /*timerId*/) {}

    bool StartTimer(UINT_PTR timerId, UINT intervalMs) { return ::SetTimer(hwnd(), timerId, intervalMs, nullptr) != 0; }
    void StopTimer(UINT_PTR timerId) { ::KillTimer(hwnd(), timerId); }
};

}  // namespace platform
