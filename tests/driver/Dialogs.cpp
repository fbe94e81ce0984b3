// Pressing dialog and message-box buttons, and reading their static texts.
#include "Dialogs.h"

#include <windows.h>

#include <vector>

#include "Console.h"
#include "TopWindows.h"

namespace kdrive {
namespace {

constexpr DWORD kTextTimeoutMs = 2000;

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

// WM_GETTEXT is marshalled across processes, unlike reading the control's memory; the timeout keeps a hung
// dialog from hanging the test.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kTextTimeoutMs, &length) || length == 0) {
        return {};
    }
    std::vector<wchar_t> buffer(length + 1);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                             kTextTimeoutMs, &copied)) {
        return {};
    }
    return std::wstring(buffer.data(), std::min<size_t>(copied, length));
}

// One text per output line: line breaks inside a text become the two characters "\n", a backslash becomes "\\".
std::wstring EscapeForLine(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r') {
            if (i + 1 < text.size() && text[i + 1] == L'\n') {
                continue;
            }
            out += L"\\n";
        } else if (c == L'\n') {
            out += L"\\n";
        } else if (c == L'\\') {
            out += L"\\\\";
        } else {
            out += c;
        }
    }
    return out;
}

BOOL CALLBACK CollectStatic(HWND hwnd, LPARAM lParam) {
    auto* statics = reinterpret_cast<std::vector<HWND>*>(lParam);
    if (lstrcmpiW(ClassOf(hwnd).c_str(), L"Static") == 0) {
        statics->push_back(hwnd);
    }
    return TRUE;
}

struct ItemSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindVisibleItem(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<ItemSearch*>(lParam);
    if (GetDlgCtrlID(hwnd) == search->id && IsWindowVisible(hwnd)) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

int RunPress(const Args& args) {
    HWND dialog = FindTargetOrFail(args);
    if (!dialog) {
        return kExitFailed;
    }
    const int id = static_cast<int>(args.Number(L"id", 0));
    HWND item = GetDlgItem(dialog, id);
    if (!item) {
        // A control of a dialog nested in the window (a form view in a frame): its own dialog gets the command.
        ItemSearch search{id, nullptr};
        EnumChildWindows(dialog, FindVisibleItem, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            item = search.found;
            dialog = GetParent(item);
        }
    }
    // A user could not press these, so neither may a test.
    if (item && !IsWindowVisible(item)) {
        return Fail(L"control " + std::to_wstring(id) + L" is hidden");
    }
    if (item && !IsWindowEnabled(item)) {
        return Fail(L"control " + std::to_wstring(id) + L" is disabled");
    }
    // Posted, not sent: the button's handler may open another modal loop, and a SendMessage would wait for it.
    if (args.Has(L"bm-click")) {
        if (!item) {
            return Fail(L"no control with id " + std::to_wstring(id));
        }
        if (!PostMessageW(item, BM_CLICK, 0, 0)) {
            return FailWithLastError(L"PostMessage(BM_CLICK) failed");
        }
        return kExitOk;
    }
    // Dialogs treat IDCANCEL as Esc even without a Cancel button (a message box with only OK does).
    if (!item && id != IDCANCEL) {
        return Fail(L"no control with id " + std::to_wstring(id));
    }
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item))) {
        return FailWithLastError(L"PostMessage(WM_COMMAND) failed");
    }
    return kExitOk;
}

// A control's text, and for a check box whether it is checked: what a user reads off the window.
int RunControlText(const Args& args) {
    HWND window = FindTargetOrFail(args);
    if (!window) {
        return kExitFailed;
    }
    const int id = static_cast<int>(args.Number(L"id", 0));
    ItemSearch search{id, nullptr};
    EnumChildWindows(window, FindVisibleItem, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        return Fail(L"no visible control with id " + std::to_wstring(id));
    }
    const LRESULT check = SendMessageW(search.found, BM_GETCHECK, 0, 0);
    const bool isCheckBox = lstrcmpiW(ClassOf(search.found).c_str(), L"Button") == 0 &&
                            (GetWindowLongW(search.found, GWL_STYLE) & BS_TYPEMASK) != BS_PUSHBUTTON;
    PrintLine(isCheckBox ? (check == BST_CHECKED ? std::wstring(L"checked") : std::wstring(L"unchecked"))
                         : EscapeForLine(TextOf(search.found)));
    return kExitOk;
}

int RunDialogText(const Args& args) {
    HWND dialog = FindTargetOrFail(args);
    if (!dialog) {
        return kExitFailed;
    }
    std::vector<HWND> statics;
    EnumChildWindows(dialog, CollectStatic, reinterpret_cast<LPARAM>(&statics));
    for (HWND item : statics) {
        std::wstring text = TextOf(item);
        if (!text.empty()) {
            PrintLine(EscapeForLine(text));
        }
    }
    return kExitOk;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

int RunChildren(const Args& args) {
    HWND window = FindTargetOrFail(args);
    if (!window) {
        return kExitFailed;
    }
    std::vector<HWND> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    for (HWND child : children) {
        RECT rect = {};
        GetWindowRect(child, &rect);
        PrintLine(L"hwnd=" + HexHandle(child) + L" parent=" + HexHandle(GetParent(child)) + L" id=" +
                  std::to_wstring(static_cast<int>(GetWindowLongPtrW(child, GWLP_ID))) + L" class=" + ClassOf(child) +
                  L" visible=" + (IsWindowVisible(child) ? L"1" : L"0") + L" left=" + std::to_wstring(rect.left) +
                  L" top=" + std::to_wstring(rect.top) + L" right=" + std::to_wstring(rect.right) + L" bottom=" +
                  std::to_wstring(rect.bottom));
    }
    return kExitOk;
}

}  // namespace kdrive
