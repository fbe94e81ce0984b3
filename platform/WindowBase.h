// Base of every window the suite owns: class registration once, `this` bound at creation, dispatch to WndProc.
#pragma once

#include <windows.h>

#include "platform/Hwnd.h"

namespace platform {

// How it works: Create passes `this` as the creation parameter; StaticWndProc stores it in GWLP_USERDATA at
// WM_NCCREATE and forwards every later message to the virtual WndProc. At WM_NCDESTROY the pointer and
// m_hwnd are cleared before OnFinalMessage, so messages that arrive after that reach DefWindowProc, never a
// freed object. Messages before WM_NCCREATE also go to DefWindowProc. No exception leaves a window procedure.
class WindowBase {
public:
    WindowBase() = default;
    virtual ~WindowBase();
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    Hwnd hwnd() const { return m_hwnd; }

    // Registers windowClass (once per process; lpfnWndProc is filled in here) and creates the window.
    bool Create(WNDCLASSEXW windowClass, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y, int width,
                int height, HWND parent = nullptr, HMENU menu = nullptr);

protected:
    // Handles one message; unhandled messages end in DefWindowProcW here.
    virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone (m_hwnd is already null); the object may be deleted from here.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};

}  // namespace platform
