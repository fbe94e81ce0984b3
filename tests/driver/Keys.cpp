// Keyboard input for hotkey tests.
#include "Keys.h"

#include <windows.h>

#include <iterator>
#include <vector>

#include "Console.h"
#include "Peer.h"
#include "TopWindows.h"

namespace kdrive {
namespace {

struct Modifier {
    const wchar_t* option;
    WORD virtualKey;
    UINT hotKeyFlag;
};

constexpr Modifier kModifiers[] = {
    {L"alt", VK_MENU, MOD_ALT},
    {L"ctrl", VK_CONTROL, MOD_CONTROL},
    {L"shift", VK_SHIFT, MOD_SHIFT},
    {L"win", VK_LWIN, MOD_WIN},
};

INPUT KeyInput(WORD virtualKey, bool isUp) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = isUp ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

int RunKeys(const Args& args) {
    const WORD key = static_cast<WORD>(args.Number(L"vk", 0));
    std::vector<INPUT> inputs;
    for (const Modifier& modifier : kModifiers) {
        if (args.Has(modifier.option)) {
            inputs.push_back(KeyInput(modifier.virtualKey, false));
        }
    }
    inputs.push_back(KeyInput(key, false));
    inputs.push_back(KeyInput(key, true));
    // Released in reverse order, as a hand lets go.
    for (auto it = std::rbegin(kModifiers); it != std::rend(kModifiers); ++it) {
        if (args.Has(it->option)) {
            inputs.push_back(KeyInput(it->virtualKey, true));
        }
    }
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size()) {
        return FailWithLastError(L"SendInput sent " + std::to_wstring(sent) + L" of " + std::to_wstring(inputs.size()) +
                                 L" events");
    }
    return kExitOk;
}

int RunHotKeyFree(const Args& args) {
    UINT modifiers = 0;
    for (const Modifier& modifier : kModifiers) {
        if (args.Has(modifier.option)) {
            modifiers |= modifier.hotKeyFlag;
        }
    }
    constexpr int kProbeId = 0x7ABC;
    if (RegisterHotKey(nullptr, kProbeId, modifiers, static_cast<UINT>(args.Number(L"vk", 0)))) {
        UnregisterHotKey(nullptr, kProbeId);
        PrintLine(L"free");
    } else {
        PrintLine(L"held");
    }
    return kExitOk;
}

int RunType(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    for (wchar_t unit : args.Text(L"text")) {
        if (!PostMessageW(hwnd, WM_CHAR, unit, 1)) {
            return FailWithLastError(L"PostMessage failed");
        }
    }
    return kExitOk;
}

namespace {

std::wstring g_keyLogPath;

LRESULT CALLBACK LogKey(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool isUp = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        AppendLine(g_keyLogPath, (isUp ? L"up " : L"down ") + std::to_wstring(key->vkCode));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

int RunKeyLog(const Args& args) {
    g_keyLogPath = args.Text(L"log");
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, &LogKey, GetModuleHandleW(nullptr), 0);
    if (!hook) {
        return FailWithLastError(L"SetWindowsHookEx failed");
    }
    if (!AppendLine(args.Text(L"ready"), L"ready")) {
        UnhookWindowsHookEx(hook);
        return FailWithLastError(L"cannot write the ready file");
    }
    // Low-level hooks are called through this thread's message loop.
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(args.Number(L"timeout-ms", 60000));
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
    UnhookWindowsHookEx(hook);
    return kExitOk;
}

}  // namespace kdrive
