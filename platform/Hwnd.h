// A copyable, non-owning window handle with bool-returning one-liners.
#pragma once

#include <windows.h>

namespace platform {

class Hwnd {
public:
    Hwnd() = default;
    Hwnd(HWND hwnd) : m_hwnd(hwnd) {}  // NOLINT: implicit on purpose, like the handle it wraps

    operator HWND() const { return m_hwnd; }
    HWND get() const { return m_hwnd; }
    explicit operator bool() const { return m_hwnd != nullptr; }

    bool IsWindow() const { return m_hwnd != nullptr && ::IsWindow(m_hwnd) != FALSE; }
    bool IsVisible() const { return ::IsWindowVisible(m_hwnd) != FALSE; }
    bool Show(int command) const { return ::ShowWindow(m_hwnd, command) != FALSE; }
    bool Update() const { return ::UpdateWindow(m_hwnd) != FALSE; }
    bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hwnd, message, wParam, lParam) != FALSE;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hwnd, message, wParam, lParam);
    }
    bool SetForeground() const { return ::SetForegroundWindow(m_hwnd) != FALSE; }
    bool Destroy() const { return ::DestroyWindow(m_hwnd) != FALSE; }
    bool Invalidate() const { return ::InvalidateRect(m_hwnd, nullptr, FALSE) != FALSE; }
    bool GetWindowRect(RECT* rect) const { return ::GetWindowRect(m_hwnd, rect) != FALSE; }
    bool SetPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hwnd, insertAfter, x, y, cx, cy, flags) != FALSE;
    }
    LONG_PTR GetLong(int index) const { return ::GetWindowLongPtrW(m_hwnd, index); }
    LONG_PTR SetLong(int index, LONG_PTR value) const { return ::SetWindowLongPtrW(m_hwnd, index, value); }

    // A top-level window by class and, when given, title.
    static Hwnd Find(const wchar_t* className, const wchar_t* title = nullptr) {
        return Hwnd(::FindWindowW(className, title));
    }

private:
    HWND m_hwnd = nullptr;
};

}  // namespace platform
