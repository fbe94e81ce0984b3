// Scope guards for GDI pairs that are not plain handles: a window's DC and a selected object.
#pragma once

#include <windows.h>

#include "platform/UniqueHandle.h"

namespace platform {

// GetDC (or GetWindowDC)/ReleaseDC; ReleaseDC needs the window back, so this is not a handle trait.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : m_hwnd(hwnd), m_hdc(::GetDC(hwnd)) {}
    // The whole window, caption and frame included.
    static WindowDc WholeWindow(HWND hwnd) { return WindowDc(hwnd, ::GetWindowDC(hwnd)); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (m_hdc != nullptr) {
            ::ReleaseDC(m_hwnd, m_hdc);
        }
    }
    HDC get() const { return m_hdc; }

private:
    WindowDc(HWND hwnd, HDC hdc) : m_hwnd(hwnd), m_hdc(hdc) {}

    HWND m_hwnd;
    HDC m_hdc;
};

// Puts the DC's previous object back before either is destroyed.
class SelectGuard {
public:
    SelectGuard(HDC hdc, HGDIOBJ object) : m_hdc(hdc), m_old(::SelectObject(hdc, object)) {}
    // Selects what a typed owner holds; the owner must outlive the guard.
    template <typename Traits>
    SelectGuard(HDC hdc, const UniqueHandle<Traits>& owner) : SelectGuard(hdc, owner.get()) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (m_old != nullptr) {
            ::SelectObject(m_hdc, m_old);
        }
    }

private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

// BeginPaint/EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : m_hwnd(hwnd) { ::BeginPaint(hwnd, &m_paint); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { ::EndPaint(m_hwnd, &m_paint); }
    HDC dc() const { return m_paint.hdc; }
    const RECT& area() const { return m_paint.rcPaint; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint = {};
};

}  // namespace platform
