// Launcher process start and end.
#include "launcher/TolvApp.h"

#include <shellapi.h>

#include "common/ipc/SuiteNames.h"
#include "common/text/PathUtil.h"
#include "launcher/LauncherGlobals.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

CTolvApp::CTolvApp(HINSTANCE instance) : App(instance, L"Tolv") {}

CTolvApp::~CTolvApp() = default;

bool CTolvApp::InitInstance(int showCommand) {
    g_launcherFolder = ComputeLauncherFolder(boxes());
    if (!platform::FindAgentWindow()) {
        // The launcher does not wait for the agent.
        std::wstring agent = platform::ToWide(common::JoinPath(g_launcherFolder, common::kAgentProgram));
        std::wstring folder = platform::ToWide(g_launcherFolder);
        ::ShellExecuteW(nullptr, L"open", agent.c_str(), nullptr, folder.c_str(), SW_SHOW);
        return false;
    }
    if (platform::Hwnd existing = platform::FindLauncherWindow()) {
        BringForward(existing);
        return false;
    }
    auto page = std::make_unique<CMainPage>(instance(), boxes());
    if (!page->CreateAndShow(showCommand)) {
        return false;
    }
    m_page = std::move(page);
    SetLoopPolicy(m_page.get());
    return true;
}

void CTolvApp::BringForward(platform::Hwnd existing) {
    // The low bit asks the window manager to restore a minimised window as it comes forward.
    ::SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(existing.get()) | 1));
    existing.SetForeground();
}

int CTolvApp::ExitInstance(int /*exitCode*/) {
    SetLoopPolicy(nullptr);
    if (!m_page) {
        return 0;
    }
    m_page->ShutDown();
    m_page.reset();
    return 1;
}
