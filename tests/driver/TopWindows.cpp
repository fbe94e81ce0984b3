// Finding top-level windows by class and title, waiting for them, and describing them.
#include "TopWindows.h"

#include <cwchar>

#include "Console.h"

namespace kdrive {
namespace {

constexpr DWORD kPollMs = 25;
constexpr int64_t kDefaultWaitMs = 10000;

std::wstring Describe(const WindowQuery& query) {
    std::wstring text = L"class '" + query.className + L"'";
    if (query.title) {
        text += L" title '" + *query.title + L"'";
    }
    return text;
}

// Reads the caption without sending WM_GETTEXT, so a hung target cannot stall us.
std::wstring TitleOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    InternalGetWindowText(hwnd, buffer, 1024);
    return buffer;
}

std::wstring RectText(const RECT& rect) {
    return std::to_wstring(rect.left) + L"," + std::to_wstring(rect.top) + L"," + std::to_wstring(rect.right) + L"," +
           std::to_wstring(rect.bottom);
}

std::wstring Hex32(DWORD value) {
    wchar_t buffer[16];
    swprintf(buffer, 16, L"0x%lx", static_cast<unsigned long>(value));
    return buffer;
}

// key=R,G,B is in the order people write colours in, not COLORREF's 0x00BBGGRR. Compare lwa-alpha only when
// lwa-flags has LWA_ALPHA (0x2): with LWA_COLORKEY alone Wine reports alpha 0 whatever the program passed.
std::wstring LayeredText(HWND hwnd) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!(GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags)) {
        return L"layered=0";
    }
    return L"layered=1 lwa-flags=" + Hex32(flags) + L" lwa-key=" + std::to_wstring(GetRValue(key)) + L"," +
           std::to_wstring(GetGValue(key)) + L"," + std::to_wstring(GetBValue(key)) + L" lwa-alpha=" +
           std::to_wstring(alpha);
}

}  // namespace

WindowQuery QueryFromArgs(const Args& args) {
    WindowQuery query;
    query.className = args.Text(L"class");
    if (args.Has(L"title")) {
        query.title = args.Text(L"title");
    }
    query.mustBeVisible = args.Has(L"visible");
    return query;
}

HWND FindTopLevel(const WindowQuery& query) {
    const wchar_t* title = query.title ? query.title->c_str() : nullptr;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, query.className.c_str(), title)) != nullptr) {
        if (!query.mustBeVisible || IsWindowVisible(hwnd)) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND WaitForTopLevel(const WindowQuery& query, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND hwnd = FindTopLevel(query)) {
            return hwnd;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

HWND FindTargetOrFail(const Args& args) {
    WindowQuery query = QueryFromArgs(args);
    HWND hwnd = FindTopLevel(query);
    if (!hwnd) {
        Fail(L"no window of " + Describe(query));
    }
    return hwnd;
}

int RunFind(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    PrintLine(HexHandle(hwnd));
    return kExitOk;
}

int RunCount(const Args& args) {
    WindowQuery query = QueryFromArgs(args);
    const wchar_t* title = query.title ? query.title->c_str() : nullptr;
    int count = 0;
    HWND hwnd = nullptr;
    while ((hwnd = FindWindowExW(nullptr, hwnd, query.className.c_str(), title)) != nullptr) {
        if (!query.mustBeVisible || IsWindowVisible(hwnd)) {
            ++count;
        }
    }
    PrintLine(std::to_wstring(count));
    return kExitOk;
}

int RunWait(const Args& args) {
    WindowQuery query = QueryFromArgs(args);
    DWORD timeoutMs = static_cast<DWORD>(args.Number(L"timeout-ms", kDefaultWaitMs));
    HWND hwnd = WaitForTopLevel(query, timeoutMs);
    if (!hwnd) {
        return Fail(L"timed out after " + std::to_wstring(timeoutMs) + L" ms waiting for " +
                    (query.mustBeVisible ? L"a visible window of " : L"a window of ") + Describe(query));
    }
    PrintLine(HexHandle(hwnd));
    return kExitOk;
}

int RunWaitGone(const Args& args) {
    WindowQuery query = QueryFromArgs(args);
    DWORD timeoutMs = static_cast<DWORD>(args.Number(L"timeout-ms", kDefaultWaitMs));
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (FindTopLevel(query)) {
        if (GetTickCount64() >= deadline) {
            return Fail(L"timed out after " + std::to_wstring(timeoutMs) + L" ms: still a window of " +
                        Describe(query));
        }
        Sleep(kPollMs);
    }
    return kExitOk;
}

int RunInfo(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    RECT windowRect = {};
    RECT clientRect = {};
    RECT workArea = {};
    GetWindowRect(hwnd, &windowRect);
    GetClientRect(hwnd, &clientRect);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    // The title goes last: it is the only field that may contain spaces.
    PrintLine(L"hwnd=" + HexHandle(hwnd) + L" rect=" + RectText(windowRect) + L" client=" +
              std::to_wstring(clientRect.right) + L"," + std::to_wstring(clientRect.bottom) + L" visible=" +
              (IsWindowVisible(hwnd) ? L"1" : L"0") + L" exstyle=" +
              Hex32(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE))) + L" style=" +
              Hex32(static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_STYLE))) + L" screen=" +
              std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"," + std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) +
              L" workarea=" + RectText(workArea) + L" " + LayeredText(hwnd) + L" title=" + TitleOf(hwnd));
    return kExitOk;
}

}  // namespace kdrive
