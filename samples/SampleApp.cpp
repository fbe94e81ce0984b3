// A small portable program the local store offers as a package: one window that names itself.
#include <windows.h>

#ifndef KELVO_SAMPLE_TITLE
#define KELVO_SAMPLE_TITLE L"샘플 프로그램"
#endif

namespace {

LRESULT CALLBACK SampleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT area;
            ::GetClientRect(window, &area);
            ::SetBkMode(dc, TRANSPARENT);
            ::DrawTextW(dc, KELVO_SAMPLE_TITLE L"\n\n이 프로그램은 Kelvo 스토어의 예제입니다.", -1, &area,
                        DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            ::EndPaint(window, &paint);
            return 0;
        }
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                ::DestroyWindow(window);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = SampleProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"KelvoSampleApp";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowW(L"KelvoSampleApp", KELVO_SAMPLE_TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 360, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ::ShowWindow(window, showCommand);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
