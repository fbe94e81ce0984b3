// View base: a registered child window class with typed handlers.
#include "platform/framework/ViewBase.h"

namespace platform {

bool ViewBase::CreateView(HINSTANCE instance, const wchar_t* className, HWND parent, const RECT& rect, UINT id,
                          DWORD extraStyle) {
    WNDCLASSEXW windowClass = {};
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | extraStyle;
    return Create(windowClass, 0, style, L"", rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                  parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

LRESULT ViewBase::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lParam)) ? 0 : -1;
        case WM_SIZE:
            OnSize(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
            return 0;
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
                return 0;
            }
            break;
        default:
            break;
    }
    return WindowBase::WndProc(message, wParam, lParam);
}

bool ViewBase::OnCreate(const CREATESTRUCTW&) {
    return true;
}

bool ViewBase::OnCommand(UINT, UINT, HWND) {
    return false;
}

}  // namespace platform
