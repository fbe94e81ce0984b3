// Main frame: tray menu commands, showing and hiding the launcher, the settings program's views, file search.
#include "agent/HotKeys.h"
#include "agent/MainFrame.h"
#include "agent/resource.h"
#include "common/agent/HotKeyBinding.h"
#include "common/agent/LauncherButtons.h"
#include "common/config/StoreHosts.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "platform/ShellSearch.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

namespace {

// The launcher gets about five seconds to put its window up after it was started. It is looked for often, so
// that it is placed and brought forward as it appears, not over a window the user opened meanwhile.
constexpr DWORD kLauncherPollMs = 50;
constexpr int kLauncherPolls = 5000 / kLauncherPollMs;

}  // namespace

bool CMainFrame::OnCommand(UINT id, UINT /*code*/, HWND /*control*/) {
    switch (id) {
        case ID_TRAY_SHOW_LAUNCHER:
            ShowLauncher();
            return true;
        case ID_TRAY_OPEN_STORE:
            OpenStoreHome();
            return true;
        case ID_TRAY_HELP:
            OpenSettingsView(common::kSettingsViewHelp, common::kMsgShowHelpView);
            return true;
        case ID_TRAY_EXIT:
            ExitSuite();
            return true;
        default:
            return false;
    }
}

bool CMainFrame::ShowLauncher() {
    platform::Hwnd launcher = platform::FindLauncherWindow();
    if (launcher) {
        launcher.Show(SW_SHOW);
        BringUpLauncher(launcher);
        return true;
    }
    if (m_launcherPollsLeft > 0) {
        return true;  // started already; its window is awaited
    }
    const bool isStarted =
        m_starter.Start(hwnd(), ModuleFile(common::kLauncherProgram), std::wstring(), m_state.moduleFolder, SW_SHOW);
    // A start that failed is looked for all the same: the program may have been started by other means.
    m_launcherPollsLeft = kLauncherPolls;
    PollForLauncher();
    return isStarted;
}

void CMainFrame::PollForLauncher() {
    StopTimer(kLauncherPollTimer);
    if (m_launcherPollsLeft <= 0) {
        return;
    }
    platform::Hwnd launcher = platform::FindLauncherWindow();
    if (--m_launcherPollsLeft == 0) {
        // The last look only brings forward what it found, without placing it.
        launcher.SetForeground();
        return;
    }
    if (!launcher) {
        StartTimer(kLauncherPollTimer, kLauncherPollMs);
        return;
    }
    BringUpLauncher(launcher);
}

void CMainFrame::EndLauncherWait() {
    m_launcherPollsLeft = 0;
    StopTimer(kLauncherPollTimer);
}

void CMainFrame::BringUpLauncher(platform::Hwnd launcher) {
    EndLauncherWait();
    PlaceLauncher(launcher, m_state.settings.alwaysOnTop != 0, SWP_SHOWWINDOW);
    launcher.SetForeground();
}

void CMainFrame::PlaceLauncher(platform::Hwnd launcher, bool isTopMost, UINT showFlag) {
    RECT rect = {};
    launcher.GetWindowRect(&rect);
    launcher.SetPos(isTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, showFlag);
}

void CMainFrame::HideLauncher() {
    // A launcher still coming up is not shown once its window appears.
    EndLauncherWait();
    if (platform::Hwnd launcher = platform::FindLauncherWindow()) {
        launcher.Show(SW_HIDE);
    } else {
        m_starter.Start(hwnd(), ModuleFile(common::kLauncherProgram), std::wstring(), m_state.moduleFolder, SW_HIDE);
    }
}

void CMainFrame::OpenStoreHome() {
    std::wstring address = L"http://" + platform::ToWide(common::kStoreHttpHost) + L"/";
    m_starter.Start(hwnd(), L"explorer.exe", address, std::wstring(), SW_SHOWNORMAL);
}

void CMainFrame::OpenSettingsView(int view, UINT messageIfRunning) {
    if (platform::Hwnd settings = platform::FindSettingsWindow()) {
        settings.Post(messageIfRunning, 0, 0);
        return;
    }
    m_starter.Start(hwnd(), ModuleFile(common::kSettingsProgram), platform::ToWide(common::SettingsViewParams(view)),
                    m_state.moduleFolder, SW_SHOW);
}

void CMainFrame::OpenFileSearch() {
    platform::OpenSystemSearch(m_state.moduleFolder.substr(0, 2), false);
}

void CMainFrame::ShowTrayMenu() {
    HMENU popup = m_trayMenu ? ::GetSubMenu(m_trayMenu.get(), 0) : nullptr;
    if (popup == nullptr) {
        return;
    }
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere, and without the
    // following message it would not open a second time.
    hwnd().SetForeground();
    ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, hwnd(), nullptr);
    hwnd().Post(WM_NULL);
}

void CMainFrame::RegisterBuiltInHotKeys() {
    for (const common::HotKeyBinding& binding : common::BuiltInHotKeys(m_state.settings)) {
        BindHotKey(hwnd(), binding);
    }
}
