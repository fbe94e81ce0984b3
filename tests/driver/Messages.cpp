// Sending and posting window messages, and WM_COPYDATA with a file's bytes, to a program under test.
#include "Messages.h"

#include <windows.h>
#include <dbt.h>

#include <vector>

#include "Console.h"
#include "Handles.h"
#include "TopWindows.h"

namespace kdrive {
namespace {

constexpr int64_t kDefaultSendTimeoutMs = 5000;
constexpr wchar_t kSenderClass[] = L"KDriveSender";

// SendMessageTimeout returns 0 both on timeout and on failure; the LRESULT itself may be anything, so it is only
// printed when the call succeeded. Under Wine a send that timed out is dropped: a receiver that was stopped and
// resumes never sees it (Windows may still deliver it late).
int SendAndPrint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    SetLastError(0);
    if (!SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, timeoutMs, &result)) {
        DWORD error = GetLastError();
        if (error == ERROR_TIMEOUT || error == 0) {
            return Fail(L"no reply within " + std::to_wstring(timeoutMs) + L" ms");
        }
        return Fail(L"SendMessageTimeout failed (error " + std::to_wstring(error) + L")");
    }
    PrintLine(std::to_wstring(static_cast<LONG_PTR>(result)));
    return kExitOk;
}

bool ReadWholeFile(const std::wstring& path, std::vector<BYTE>* bytes) {
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {
        return false;
    }
    bytes->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes->empty() || (ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) &&
                              read == bytes->size());
}

// Receivers may look at wParam (GetClassName, GetWindowThreadProcessId), so it names a real window of ours.
UniqueWindow CreateSenderWindow() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(instance, kSenderClass, &existing)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = instance;
        wc.lpszClassName = kSenderClass;
        RegisterClassExW(&wc);
    }
    return UniqueWindow(
        CreateWindowExW(0, kSenderClass, L"kdrive", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr));
}

}  // namespace

int RunSend(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    return SendAndPrint(hwnd, static_cast<UINT>(args.Number(L"msg", 0)), static_cast<WPARAM>(args.Number(L"wparam", 0)),
                        static_cast<LPARAM>(args.Number(L"lparam", 0)),
                        static_cast<DWORD>(args.Number(L"timeout-ms", kDefaultSendTimeoutMs)));
}

int RunPost(const Args& args) {
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    if (!PostMessageW(hwnd, static_cast<UINT>(args.Number(L"msg", 0)), static_cast<WPARAM>(args.Number(L"wparam", 0)),
                      static_cast<LPARAM>(args.Number(L"lparam", 0)))) {
        return FailWithLastError(L"PostMessage failed");
    }
    return kExitOk;
}

int RunCopyData(const Args& args) {
    if (args.Has(L"file") == args.Has(L"empty")) {
        return UsageError(L"give exactly one of --file PATH and --empty");
    }
    const std::wstring path = args.Text(L"file");
    const bool isEmpty = args.Has(L"empty") || path == L"-";
    std::vector<BYTE> payload;
    if (!isEmpty && !ReadWholeFile(path, &payload)) {
        return FailWithLastError(L"cannot read '" + path + L"'");
    }
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    UniqueWindow sender = CreateSenderWindow();
    if (!sender) {
        return FailWithLastError(L"cannot create the sender window");
    }
    COPYDATASTRUCT data = {};
    data.dwData = static_cast<ULONG_PTR>(args.Number(L"kind", 0));
    data.cbData = static_cast<DWORD>(payload.size());
    data.lpData = payload.empty() ? nullptr : payload.data();
    return SendAndPrint(hwnd, WM_COPYDATA, reinterpret_cast<WPARAM>(sender.get()), reinterpret_cast<LPARAM>(&data),
                        static_cast<DWORD>(args.Number(L"timeout-ms", kDefaultSendTimeoutMs)));
}

// The volume notice Windows broadcasts when drives come or go, sent to one window: the receiver must get the
// payload across the process boundary for this to test anything, so the reply is printed like any send.
int RunDeviceChange(const Args& args) {
    DWORD unitMask = 0;
    for (wchar_t letter : args.Text(L"drives")) {
        const wchar_t upper = (letter >= L'a' && letter <= L'z') ? static_cast<wchar_t>(letter - L'a' + L'A') : letter;
        if (upper < L'A' || upper > L'Z') {
            return UsageError(L"--drives takes drive letters only, e.g. TK");
        }
        unitMask |= 1u << (upper - L'A');
    }
    HWND hwnd = FindTargetOrFail(args);
    if (!hwnd) {
        return kExitFailed;
    }
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = unitMask;
    return SendAndPrint(hwnd, WM_DEVICECHANGE, static_cast<WPARAM>(args.Number(L"event", DBT_DEVICEREMOVECOMPLETE)),
                        reinterpret_cast<LPARAM>(&volume),
                        static_cast<DWORD>(args.Number(L"timeout-ms", kDefaultSendTimeoutMs)));
}

}  // namespace kdrive
