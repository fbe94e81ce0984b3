// The floor the suite's programs are measured on: a bare MinGW program that does only what the Windows API needs.
// usage: bare_program.exe window   a 330 x 556 window that paints one colour and waits in GetMessage
//        bare_program.exe tray     a hidden window with one tray icon, waiting in GetMessage
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

namespace {

constexpr wchar_t kWindowClass[] = L"KelvoBareWindow";
constexpr wchar_t kTrayClass[] = L"KelvoBareTray";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = ::BeginPaint(window, &paint);
        ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)));
        ::EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

HWND MakeWindow(HINSTANCE instance, const wchar_t* className, DWORD style) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, className, className, style, 100, 100, 330, 556, nullptr, nullptr, instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    bool isTray = std::wcsstr(commandLine, L"tray") != nullptr;
    HWND window = MakeWindow(instance, isTray ? kTrayClass : kWindowClass, isTray ? WS_POPUP : WS_POPUP | WS_VISIBLE);
    if (window == nullptr) {
        return 1;
    }
    NOTIFYICONDATAW icon = {};
    if (isTray) {
        icon.cbSize = sizeof(icon);
        icon.hWnd = window;
        icon.uID = 1;
        icon.uFlags = NIF_ICON | NIF_TIP;
        icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
        std::wcscpy(icon.szTip, kTrayClass);
        ::Shell_NotifyIconW(NIM_ADD, &icon);
    }
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (isTray) {
        ::Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    return 0;
}
