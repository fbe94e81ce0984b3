// kdrive_target: a known window for kdrive's own self-test, so the driver's clicks, drags, dialog handling and
// screenshots are checked against fixed pixels and a log rather than against the programs they will test.
//
//   kdrive_target --log PATH              window "KDriveTarget" at 100,100, client 400x300, layered with colour
//                                         key magenta; logs mouse input and its button (id 1001)
//   kdrive_target --log PATH --msgbox T   a message box titled "kdrive" with text T (OK/Cancel); logs the result
//
// Client layout: blue (0,128,255) background, red square 20,20-120,120, magenta (see-through) square
// 300,200-380,280, push button id 1001 at 200,20 (80x30).
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kClassName[] = L"KDriveTarget";
constexpr int kButtonId = 1001;
constexpr COLORREF kBackground = RGB(0, 128, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kKey = RGB(255, 0, 255);

std::wstring g_logPath;

void Log(const std::wstring& line) {
    HANDLE file = CreateFileW(g_logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
    bytes += "\n";
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

void LogMouse(const wchar_t* what, LPARAM lParam) {
    Log(std::wstring(what) + L" " + std::to_wstring(static_cast<short>(LOWORD(lParam))) + L"," +
        std::to_wstring(static_cast<short>(HIWORD(lParam))));
}

void FillColour(HDC hdc, RECT rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    FillColour(hdc, client, kBackground);
    FillColour(hdc, RECT{20, 20, 120, 120}, kRed);
    FillColour(hdc, RECT{300, 200, 380, 280}, kKey);
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            OnPaint(hwnd);
            return 0;
        case WM_LBUTTONDOWN:
            SetCapture(hwnd);
            LogMouse(L"ldown", lParam);
            return 0;
        case WM_LBUTTONUP:
            ReleaseCapture();
            LogMouse(L"lup", lParam);
            return 0;
        case WM_RBUTTONDOWN:
            LogMouse(L"rdown", lParam);
            return 0;
        case WM_RBUTTONUP:
            LogMouse(L"rup", lParam);
            return 0;
        case WM_MOUSEMOVE:
            if (wParam & MK_LBUTTON) {
                LogMouse(L"drag", lParam);
            }
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kButtonId) {
                Log(L"button " + std::to_wstring(kButtonId));
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

int RunWindow() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    RegisterClassExW(&wc);
    RECT frame = {0, 0, 400, 300};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_LAYERED);
    HWND hwnd =
        CreateWindowExW(WS_EX_LAYERED, kClassName, L"Target", WS_OVERLAPPEDWINDOW, 100, 100, frame.right - frame.left,
                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!hwnd) {
        return 1;
    }
    SetLayeredWindowAttributes(hwnd, kKey, 255, LWA_COLORKEY);
    CreateWindowExW(0, L"BUTTON", L"Press", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 200, 20, 80, 30, hwnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), instance, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
    Log(L"ready");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring messageText;
    bool isMessageBox = false;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::wstring name = argv[i];
        if (name == L"--log") {
            g_logPath = argv[i + 1];
        } else if (name == L"--msgbox") {
            isMessageBox = true;
            messageText = argv[i + 1];
        } else {
            return 2;
        }
    }
    if (g_logPath.empty()) {
        return 2;
    }
    if (isMessageBox) {
        int result = MessageBoxW(nullptr, messageText.c_str(), L"kdrive", MB_OKCANCEL);
        Log(L"msgbox " + std::to_wstring(result));
        return 0;
    }
    return RunWindow();
}
