// Frame window: class registration from the program's parameters and the one message switch.
#include "platform/framework/FrameWindow.h"

namespace platform {

bool FrameWindow::CreateFrame(HINSTANCE instance, const FrameClass& frameClass, const wchar_t* title, DWORD style,
                              DWORD exStyle, const RECT* rect) {
    WNDCLASSEXW windowClass = {};
    windowClass.style = frameClass.classStyle;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = frameClass.className;
    if (frameClass.cursorId != nullptr) {
        windowClass.hCursor = ::LoadCursorW(nullptr, frameClass.cursorId);
    }
    windowClass.hbrBackground = frameClass.background;
    if (frameClass.iconId != 0) {
        windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(frameClass.iconId));
    }
    if (windowClass.hIcon == nullptr) {
        windowClass.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    }
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
    if (rect != nullptr) {
        x = rect->left;
        y = rect->top;
        width = rect->right - rect->left;
        height = rect->bottom - rect->top;
    }
    return Create(windowClass, exStyle, style, title, x, y, width, height);
}

LRESULT FrameWindow::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
                return 0;
            }
            break;
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wParam));
            return 0;
        default:
            break;
    }
    return WindowBase::WndProc(message, wParam, lParam);
}

bool FrameWindow::OnCreate(const CREATESTRUCTW&) {
    return true;
}

bool FrameWindow::OnCommand(UINT, UINT, HWND) {
    return false;
}

}  // namespace platform
