// A stand-in for a peer program: a hidden window of the peer's class that logs what it gets.
//
// Log format, one line per message, decimal numbers:
//   msg=1025 wparam=7 lparam=-1                      any message >= WM_USER, and WM_CLOSE (16), WM_DESTROY (2)
//   msg=74 wparam=<sender> kind=3 size=12 data=4142  WM_COPYDATA; data is hex of the first 64 bytes
// wparam is unsigned and lparam signed, as their types are.
#include "Peer.h"

#include <cwchar>

#include "Console.h"
#include "Handles.h"

namespace kdrive {
namespace {

constexpr size_t kDumpBytes = 64;

std::wstring HexDump(const void* data, size_t size) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    const BYTE* bytes = static_cast<const BYTE*>(data);
    std::wstring text;
    for (size_t i = 0; bytes && i < size && i < kDumpBytes; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

std::wstring MessageLine(UINT msg, WPARAM wParam, LPARAM lParam) {
    wchar_t buffer[96];
    swprintf(buffer, 96, L"msg=%u wparam=%llu lparam=%lld", msg, static_cast<unsigned long long>(wParam),
             static_cast<long long>(lParam));
    return buffer;
}

// Written under a temporary name and renamed, so a test polling for the file never reads it half-written.
bool WriteReadyFile(const std::wstring& path, HWND hwnd) {
    const std::wstring temp = path + L".tmp";
    DeleteFileW(temp.c_str());
    return AppendLine(temp, HexHandle(hwnd)) && MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

class PeerWindow {
public:
    explicit PeerWindow(const PeerOptions& options) : m_options(options) {}
    PeerWindow(const PeerWindow&) = delete;
    PeerWindow& operator=(const PeerWindow&) = delete;

    bool Create();
    HWND hwnd() const { return m_hwnd; }

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnUserMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(WPARAM sender, const COPYDATASTRUCT* data);
    void OnClose();
    void OnDestroy();
    void Log(const std::wstring& line);
    void EndIfExitMessage(UINT msg);

    const PeerOptions& m_options;
    HWND m_hwnd = nullptr;
};

bool PeerWindow::Create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (!GetClassInfoExW(instance, m_options.className.c_str(), &existing)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = StaticWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = m_options.className.c_str();
        if (!RegisterClassExW(&wc)) {
            return false;
        }
    }
    // Top-level, not message-only: programs find their peers with FindWindow, which skips HWND_MESSAGE windows.
    return CreateWindowExW(0, m_options.className.c_str(), m_options.title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                           nullptr, nullptr, instance, this) != nullptr;
}

LRESULT CALLBACK PeerWindow::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<PeerWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<PeerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self) {
            self->m_hwnd = nullptr;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (!self) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

LRESULT PeerWindow::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COPYDATA:
            return OnCopyData(wParam, reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            if (msg >= WM_USER) {
                return OnUserMessage(msg, wParam, lParam);
            }
            return DefWindowProcW(m_hwnd, msg, wParam, lParam);
    }
}

LRESULT PeerWindow::OnUserMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    Log(MessageLine(msg, wParam, lParam));
    if (m_options.crashOn && *m_options.crashOn == msg) {
        volatile int* nowhere = nullptr;
        return *nowhere;
    }
    EndIfExitMessage(msg);
    return m_options.reply;
}

LRESULT PeerWindow::OnCopyData(WPARAM sender, const COPYDATASTRUCT* data) {
    if (!data) {
        Log(MessageLine(WM_COPYDATA, sender, 0));
    } else {
        Log(L"msg=" + std::to_wstring(WM_COPYDATA) + L" wparam=" + std::to_wstring(sender) + L" kind=" +
            std::to_wstring(data->dwData) + L" size=" + std::to_wstring(data->cbData) + L" data=" +
            HexDump(data->lpData, data->cbData));
    }
    EndIfExitMessage(WM_COPYDATA);
    return TRUE;
}

void PeerWindow::OnClose() {
    Log(MessageLine(WM_CLOSE, 0, 0));
    DestroyWindow(m_hwnd);
}

void PeerWindow::OnDestroy() {
    Log(MessageLine(WM_DESTROY, 0, 0));
    PostQuitMessage(0);
}

void PeerWindow::Log(const std::wstring& line) {
    AppendLine(m_options.logPath, line);
}

// Posted rather than destroying now: a sender's SendMessage still gets its reply first.
void PeerWindow::EndIfExitMessage(UINT msg) {
    if (m_options.exitOn && *m_options.exitOn == msg) {
        PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace

bool AppendLine(const std::wstring& path, const std::wstring& line) {
    UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    std::string bytes = ToUtf8(line) + "\n";
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

int RunPeer(const PeerOptions& options) {
    PeerWindow window(options);
    if (!window.Create()) {
        return FailWithLastError(L"cannot create the window of class '" + options.className + L"'");
    }
    if (!options.readyPath.empty() && !WriteReadyFile(options.readyPath, window.hwnd())) {
        DWORD error = GetLastError();
        DestroyWindow(window.hwnd());
        return Fail(L"cannot write '" + options.readyPath + L"' (error " + std::to_wstring(error) + L")");
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return kExitOk;
}

int RunPeerCommand(const Args& args) {
    PeerOptions options;
    options.className = args.Text(L"class");
    options.title = args.Text(L"title", options.className);
    options.logPath = args.Text(L"log");
    options.readyPath = args.Text(L"ready");
    if (args.Has(L"exit-on")) {
        options.exitOn = static_cast<UINT>(args.Number(L"exit-on", 0));
    }
    options.reply = static_cast<LRESULT>(args.Number(L"reply", 0));
    if (args.Has(L"crash-on")) {
        options.crashOn = static_cast<UINT>(args.Number(L"crash-on", 0));
    }
    return RunPeer(options);
}

}  // namespace kdrive
