// Application object: module folder, message loop with modeless-dialog routing, exit hook.
#include "platform/framework/App.h"

#include <utility>

#include "common/text/PathUtil.h"
#include "platform/ModulePath.h"
#include "platform/WideText.h"

namespace platform {

App::App(HINSTANCE instance, std::wstring title) : m_instance(instance), m_title(std::move(title)) {
    if (std::optional<std::u16string> path = ModulePath()) {
        if (std::optional<std::u16string> folder = common::FolderOf(*path)) {
            m_moduleFolder = ToWide(*folder);
        }
    }
}

std::wstring App::ModuleFile(const std::wstring& name) const {
    return ToWide(common::JoinPath(FromWide(m_moduleFolder), FromWide(name)));
}

int App::AppMessageBox(const std::wstring& text, UINT type) const {
    return platform::AppMessageBox(*m_boxes, m_title, text, type);
}

Hwnd App::FindRunningInstance(const wchar_t* windowClass) {
    return Hwnd::Find(windowClass);
}

int App::Main(int showCommand) {
    int exitCode = 0;
    if (InitInstance(showCommand)) {
        exitCode = Run();
    }
    return ExitInstance(exitCode);
}

bool App::InitInstance(int) {
    return true;
}

int App::ExitInstance(int exitCode) {
    return exitCode;
}

bool App::PreTranslateMessage(MSG& msg) {
    return m_modeless.Route(msg);
}

int App::Run() {
    if (m_loopPolicy != nullptr) {
        return RunPaced(*m_loopPolicy);
    }
    MSG msg = {};
    for (;;) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return -1;
        }
        if (PreTranslateMessage(msg)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

int App::RunPaced(IMessageLoopPolicy& policy) {
    int exitCode = 0;
    while (!policy.IsStopRequested()) {
        MSG msg = {};
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                exitCode = static_cast<int>(msg.wParam);
            } else if (!PreTranslateMessage(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            policy.AfterMessage();
        } else if (policy.MayBlock()) {
            ::MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        ::Sleep(IMessageLoopPolicy::kIdlePauseMs);
        policy.IdleStep();
    }
    return exitCode;
}

}  // namespace platform
