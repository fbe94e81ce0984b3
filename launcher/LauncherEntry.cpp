// Program entry of the launcher.
#include "launcher/LauncherEntry.h"

#include <shellapi.h>

#include <memory>

#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/text/PathUtil.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/MainPage.h"
#include "launcher/resource.h"
#include "platform/Hwnd.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

namespace {
constexpr int kWindowWidth = 330;
constexpr int kWindowHeight = 556;
}  // namespace

int RunLauncher(HINSTANCE instance, int showCommand) {
    g_launcherFolder = ComputeLauncherFolder();

    if (!platform::FindAgentWindow()) {
        // The agent starts the launcher again once it is up; the launcher does not wait for it.
        std::wstring agent = platform::ToWide(common::JoinPath(g_launcherFolder, common::kAgentProgram));
        std::wstring folder = platform::ToWide(g_launcherFolder);
        ::ShellExecuteW(nullptr, L"open", agent.c_str(), nullptr, folder.c_str(), SW_SHOW);
        return 0;
    }

    auto page = std::make_unique<CMainPage>(instance);
    if (!page->CreateAppWindow(showCommand, platform::WideCStr(common::kLauncherClass), kWindowWidth, kWindowHeight,
                               IDI_LAUNCHER, false)) {
        return 0;
    }
    return page->Run();
}
