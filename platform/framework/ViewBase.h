// A child window that fills part of a frame and forwards its controls' commands to one handler.
#pragma once

#include <windows.h>

#include "platform/WindowBase.h"

namespace platform {

// Calling thread: the UI thread of the parent. The view's window is destroyed with its parent; the object must
// outlive the parent window or be destroyed first (WindowBase then destroys the window itself).
class ViewBase : public WindowBase {
public:
    // Registers `className` once (window-colour background, arrow cursor) and creates a visible child of
    // `parent` with child id `id` at `rect` (parent client coordinates). False when either step fails.
    bool CreateView(HINSTANCE instance, const wchar_t* className, HWND parent, const RECT& rect, UINT id,
                    DWORD extraStyle = 0);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // False refuses the window, as for a frame.
    virtual bool OnCreate(const CREATESTRUCTW& create);
    // New client size in pixels.
    virtual void OnSize(int /*width*/, int /*height*/) {}
    // A child control's notification or a command routed to the view. True when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
};

}  // namespace platform
