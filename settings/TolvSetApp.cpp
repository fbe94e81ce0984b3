// The settings program's start.
#include "settings/TolvSetApp.h"

#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"

namespace {

std::vector<std::u16string> CommandLineArguments() {
    std::vector<std::u16string> arguments;
    int count = 0;
    LPWSTR* list = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; list != nullptr && i < count; ++i) {
        arguments.push_back(platform::FromWide(list[i]));
    }
    if (list != nullptr) {
        ::LocalFree(list);
    }
    return arguments;
}

}  // namespace

TolvSetApp::TolvSetApp(HINSTANCE instance) : App(instance, L"TolvSet") {}

TolvSetApp::~TolvSetApp() = default;

bool TolvSetApp::InitInstance(int showCommand) {
    if (platform::Hwnd running = FindRunningInstance(platform::WideCStr(common::kSettingsClass))) {
        running.SetForeground();
        return false;
    }
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_context = std::make_unique<SettingsContext>(moduleFolder(), boxes());
    m_context->Load();
    m_context->start = common::ParseSettingsStart(CommandLineArguments());
    m_frame = std::make_unique<CMainFrame>(instance(), *m_context, modelessDialogs());
    if (!m_frame->Create()) {
        return false;
    }
    m_frame->hwnd().Show(showCommand);
    m_frame->hwnd().Update();
    return true;
}
