// CMainWnd: window creation, the loop and the base window procedure.
#include "launcher/MainWnd.h"

#include <shellapi.h>
#include <windowsx.h>

#include "common/ipc/Messages.h"
#include "launcher/LauncherGlobals.h"

namespace {
constexpr int kPaintEveryMessages = 6;
constexpr float kMaxTickSeconds = 5.0f;
constexpr int kBottomGap = 50;
constexpr COLORREF kColourKey = RGB(255, 0, 255);
}  // namespace

bool CMainWnd::CreateAppWindow(int showCommand, const wchar_t* className, int width, int height, int iconId,
                               bool noForeground) {
    m_noForeground = noForeground;
    if (HWND existing = ::FindWindowW(className, className)) {
        // The low bit asks the window manager to restore a minimised window as it comes forward.
        ::SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(existing) | 1));
        if (!m_noForeground) {
            ::SetForegroundWindow(existing);
        }
        return false;
    }

    WNDCLASSEXW windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = ::LoadIconW(m_instance, MAKEINTRESOURCEW(iconId));
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    if (!Create(windowClass, 0, WS_POPUP, className, (screenWidth - width) / 2, (screenHeight - height) / 2, width,
                height)) {
        return false;
    }
    platform::Hwnd window = hwnd();
    ::DragAcceptFiles(window, TRUE);
    window.SetPos(nullptr, screenWidth - width, screenHeight - kBottomGap - height, 0, 0,
                  SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    g_mainWindow = window;
    StartUp();
    window.Show(showCommand);
    window.Update();

    // Magenta corners of the skin become invisible and let clicks through.
    window.SetLong(GWL_EXSTYLE, window.GetLong(GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(window, kColourKey, 0, LWA_COLORKEY);
    return true;
}

int CMainWnd::Run() {
    m_isRunning = true;
    ::QueryPerformanceFrequency(&m_counterFrequency);
    ::QueryPerformanceCounter(&m_lastCounter);
    m_dispatchedSincePaint = 0;

    while (!m_isStopRequested) {
        MSG message;
        if (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            if (++m_dispatchedSincePaint >= kPaintEveryMessages) {
                Paint();
                m_dispatchedSincePaint = 0;
            }
        } else {
            if (m_isActive && m_isRunning) {
                FrameTick(TakeElapsedSeconds());
            }
            if (!IsAnimating()) {
                ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
                continue;
            }
        }
        ::Sleep(1);
        IdleStep();
    }
    ShutDown();
    return 1;
}

float CMainWnd::TakeElapsedSeconds() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    float seconds = 0.0f;
    if (m_counterFrequency.QuadPart > 0) {
        seconds = static_cast<float>(now.QuadPart - m_lastCounter.QuadPart) /
                  static_cast<float>(m_counterFrequency.QuadPart);
    }
    m_lastCounter = now;
    if (seconds < 0.0f) {
        return 0.0f;
    }
    return seconds > kMaxTickSeconds ? kMaxTickSeconds : seconds;
}

LRESULT CMainWnd::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            m_isStopRequested = true;
            m_isActive = false;
            m_isRunning = false;
            ::PostQuitMessage(0);
            break;
        case WM_ACTIVATE:
            m_isActive = wParam != 0;
            Activation(m_isActive);
            if (m_isActive && !m_noForeground) {
                hwnd().SetForeground();
            }
            break;
        case WM_SETTINGCHANGE:
            if (m_isActive && !m_noForeground) {
                hwnd().SetForeground();
            }
            break;
        case WM_KEYDOWN:
            KeyDown(wParam);
            break;
        case WM_KEYUP:
            KeyUp(wParam);
            break;
        case WM_MOUSEMOVE:
            MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            break;
        case WM_LBUTTONDOWN:
            LButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            break;
        case WM_LBUTTONUP:
            LButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            break;
        case common::kMsgButtonNotice:
            Command(LOWORD(wParam), HIWORD(wParam));
            break;
        default:
            break;
    }
    return platform::WindowBase::WndProc(message, wParam, lParam);
}
