// Shared pieces of the agent's Windows-side tests: scratch folder, stand-in windows, a recording starter.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "agent/ProgramStarter.h"
#include "platform/WindowBase.h"
#include "tests/platform/ScratchDir.h"

namespace agenttest {

// A scratch folder named after this suite of tests.
class ScratchDir : public kelvo_test::ScratchDir {
public:
    ScratchDir() : kelvo_test::ScratchDir(L"kelvo-agent-") {}
};

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != FALSE;
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

inline std::string ReadBytes(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// UTF-16LE with a byte-order mark, as the suite writes its XML files.
inline std::string Utf16File(const std::wstring& text) {
    std::string bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

// A hidden top-level window standing in for the launcher or the settings program: records what reaches it.
class PeerWindow final : public platform::WindowBase {
public:
    struct Message {
        UINT message;
        WPARAM wParam;
        ULONG_PTR copyKind;
        std::string copyBytes;
    };

    bool Create(const wchar_t* className, const wchar_t* title) {
        WNDCLASSEXW windowClass = {};
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        return WindowBase::Create(windowClass, 0, WS_OVERLAPPEDWINDOW, title, 0, 0, 100, 100);
    }
    std::vector<Message> messages;

    size_t Count(UINT message) const {
        size_t count = 0;
        for (const Message& m : messages) {
            count += m.message == message ? 1 : 0;
        }
        return count;
    }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COPYDATA) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            messages.push_back(Message{message, wParam, data->dwData,
                                       std::string(static_cast<const char*>(data->lpData), data->cbData)});
            return TRUE;
        }
        if (message == WM_DESTROY || message >= WM_USER) {
            messages.push_back(Message{message, wParam, 0, std::string()});
            return 0;
        }
        return WindowBase::WndProc(message, wParam, lParam);
    }
};

class RecordingStarter final : public IProgramStarter {
public:
    struct Start {
        std::wstring file;
        std::wstring params;
        std::wstring folder;
        int show;
    };
    std::vector<Start> starts;

    bool Start(HWND, const std::wstring& file, const std::wstring& params, const std::wstring& folder,
               int show) override {
        starts.push_back({file, params, folder, show});
        return true;
    }
};

// Dispatches what this thread has queued (posted messages between windows of the test).
inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        ::DispatchMessageW(&msg);
    }
}

// Pumps this thread's messages, timers among them, until `isDone` or the deadline; true when it was done.
template <typename Condition>
bool PumpUntil(Condition isDone, DWORD timeoutMs = 60000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!isDone()) {
        if (::GetTickCount64() > deadline) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

// Takes WM_QUIT off this thread's queue; true when there was one.
inline bool TakeQuit() {
    MSG msg;
    return ::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

}  // namespace agenttest
