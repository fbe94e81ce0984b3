// The floor the suite's programs are measured on: a bare MinGW program that does only what the Windows API needs.
// usage: bare_program.exe window   a 330 x 556 window that paints one colour and waits in GetMessage
//        bare_program.exe tray     a hidden window with one tray icon, waiting in GetMessage
//        bare_program.exe store URL MESSAGE CHILD_ID
//                                  a hidden window (KelvoBareStore) that, each time MESSAGE reaches it, opens a
//                                  dialog ("#32770", titled KelvoBareStore, the store window's size) with one child
//                                  CHILD_ID, fetches URL with one bare WinINet GET on the UI thread and draws the
//                                  bytes as text (DrawText) into the child; WM_CLOSE ends the dialog
#include <windows.h>
#include <shellapi.h>
#include <wininet.h>

#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"KelvoBareWindow";
constexpr wchar_t kTrayClass[] = L"KelvoBareTray";
constexpr wchar_t kStoreClass[] = L"KelvoBareStore";
constexpr wchar_t kStoreViewClass[] = L"KelvoBareStoreView";
// The store window's template size (dialog units) and font.
constexpr short kStoreWidthDlu = 506;
constexpr short kStoreHeightDlu = 380;
constexpr WORD kDialogFontPoints = 9;
constexpr wchar_t kDialogFont[] = L"MS Shell Dlg";

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

void RegisterWindowClass(HINSTANCE instance, const wchar_t* className, WNDPROC procedure) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = className;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    ::RegisterClassW(&windowClass);
}

HWND MakeWindow(HINSTANCE instance, const wchar_t* className, DWORD style, WNDPROC procedure = WindowProc) {
    RegisterWindowClass(instance, className, procedure);
    return ::CreateWindowExW(0, className, className, style, 100, 100, 330, 556, nullptr, nullptr, instance, nullptr);
}

// The store mode ----------------------------------------------------------------------------------------------

struct StoreState {
    HINSTANCE instance = nullptr;
    std::wstring url;
    UINT trigger = 0;
    int childId = 0;
    HWND dialog = nullptr;
    std::wstring text;  // the fetched page, shown by the child
    HFONT font = nullptr;
};

// One GET as plainly as WinINet allows: a session, the request, reads until the end.
std::string BareGet(const std::wstring& url) {
    std::string bytes;
    HINTERNET internet = ::InternetOpenW(kStoreClass, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (internet == nullptr) {
        return bytes;
    }
    HINTERNET request = ::InternetOpenUrlW(internet, url.c_str(), nullptr, 0,
                                           INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI, 0);
    if (request != nullptr) {
        char buffer[16384];
        DWORD read = 0;
        while (::InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0) {
            bytes.append(buffer, read);
        }
        ::InternetCloseHandle(request);
    }
    ::InternetCloseHandle(internet);
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
    std::wstring text(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(),
                                                                static_cast<int>(bytes.size()), nullptr, 0)),
                      L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &text[0],
                          static_cast<int>(text.size()));
    return text;
}

StoreState* StateOf(HWND window, int slot) {
    return reinterpret_cast<StoreState*>(::GetWindowLongPtrW(window, slot));
}

LRESULT CALLBACK StoreViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const StoreState* state = StateOf(::GetParent(window), DWLP_USER);
    if (message != WM_PAINT || state == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    HGDIOBJ old = ::SelectObject(dc, state->font);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, state->text.c_str(), static_cast<int>(state->text.size()), &client, DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, old);
    ::EndPaint(window, &paint);
    return 0;
}

INT_PTR CALLBACK StoreDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<StoreState*>(lParam);
        ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        RECT client;
        ::GetClientRect(dialog, &client);
        ::CreateWindowExW(0, kStoreViewClass, L"", WS_CHILD | WS_VISIBLE, 1, 1, client.right - 2, client.bottom - 2,
                          dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(state->childId)), state->instance,
                          nullptr);
        state->text = FromUtf8(BareGet(state->url));
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            ::DestroyWindow(dialog);  // WM_CLOSE comes as IDCANCEL
        }
        return TRUE;
    case WM_DESTROY:
        if (StoreState* state = StateOf(dialog, DWLP_USER)) {
            state->dialog = nullptr;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// A dialog template in memory: the store window's style and size, no items.
HWND OpenStoreDialog(StoreState& state) {
    alignas(DWORD) WORD words[64] = {};
    auto* header = reinterpret_cast<DLGTEMPLATE*>(words);
    header->style = DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_VISIBLE;
    header->cx = kStoreWidthDlu;
    header->cy = kStoreHeightDlu;
    WORD* next = reinterpret_cast<WORD*>(header + 1);
    *next++ = 0;  // no menu
    *next++ = 0;  // the dialog class
    for (const wchar_t* c = kStoreClass; *c != 0; ++c) {
        *next++ = static_cast<WORD>(*c);
    }
    *next++ = 0;
    *next++ = kDialogFontPoints;
    for (const wchar_t* c = kDialogFont; *c != 0; ++c) {
        *next++ = static_cast<WORD>(*c);
    }
    *next++ = 0;
    return ::CreateDialogIndirectParamW(state.instance, header, nullptr, StoreDialogProc,
                                       reinterpret_cast<LPARAM>(&state));
}

LRESULT CALLBACK StoreHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    StoreState* state = StateOf(window, GWLP_USERDATA);
    if (state != nullptr && message == state->trigger) {
        if (state->dialog == nullptr) {
            state->dialog = OpenStoreDialog(*state);
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeStoreHost(HINSTANCE instance, int argc, wchar_t** argv, StoreState& state) {
    if (argc != 5) {
        return nullptr;
    }
    state.instance = instance;
    state.url = argv[2];
    state.trigger = static_cast<UINT>(_wtoi(argv[3]));
    state.childId = _wtoi(argv[4]);
    if (state.trigger == 0) {
        return nullptr;  // WM_NULL, the probe's round trip, must not open the dialog
    }
    state.font = ::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Gulim");
    RegisterWindowClass(instance, kStoreViewClass, StoreViewProc);
    HWND host = MakeWindow(instance, kStoreClass, WS_POPUP, StoreHostProc);
    if (host != nullptr) {
        ::SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    }
    return host;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    bool isStore = argv != nullptr && argc > 1 && std::wcscmp(argv[1], L"store") == 0;
    bool isTray = !isStore && std::wcsstr(commandLine, L"tray") != nullptr;
    StoreState store;
    HWND window = isStore ? MakeStoreHost(instance, argc, argv, store)
                          : MakeWindow(instance, isTray ? kTrayClass : kWindowClass,
                                       isTray ? WS_POPUP : WS_POPUP | WS_VISIBLE);
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
    if (store.font != nullptr) {
        ::DeleteObject(store.font);
    }
    return 0;
}
