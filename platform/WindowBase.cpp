// Window class registration and the static-to-virtual window procedure.
#include "platform/WindowBase.h"

namespace platform {

WindowBase::~WindowBase() {
    if (m_hwnd != nullptr) {
        // The object is going away first: detach so that late messages find no object.
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

bool WindowBase::Create(WNDCLASSEXW windowClass, DWORD exStyle, DWORD style, const wchar_t* title, int x, int y,
                        int width, int height, HWND parent, HMENU menu) {
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowBase::StaticWndProc;
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        if (::RegisterClassExW(&windowClass) == 0) {
            return false;
        }
    }
    HWND created = ::CreateWindowExW(exStyle, windowClass.lpszClassName, title, style, x, y, width, height, parent,
                                     menu, windowClass.hInstance, this);
    return created != nullptr;
}

LRESULT WindowBase::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK WindowBase::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<WindowBase*>(create->lpCreateParams);
        if (self != nullptr) {
            self->m_hwnd = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    LRESULT result = 0;
    try {
        result = self->WndProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through Windows; the message gets the default answer.
        result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace platform
