// Main frame: applying a saved TolvSet.xml (launcher placement, autorun.inf, launcher buttons, hotkeys).
#include "agent/AgentFiles.h"
#include "agent/MainFrame.h"
#include "common/agent/AutorunInf.h"
#include "common/agent/LauncherButtons.h"
#include "common/ipc/CopyData.h"
#include "common/ipc/SuiteNames.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

namespace {
constexpr UINT kSendTimeoutMs = 10000;
}  // namespace

void CMainFrame::OnSettingsSaved() {
    common::SettingsRecord fresh;
    bool isAccepted = ReadSettingsInto(m_store, platform::FromWide(ModuleFile(common::kSettingsFile)), fresh);
    ApplySettings(common::PlanSettingsActions(m_state.settings, fresh, isAccepted));
}

void CMainFrame::ApplySettings(const common::SettingsActions& actions) {
    if (actions.isTopMostChanged) {
        ApplyTopMost(actions.isTopMost);
    }
    ApplyAutorun(actions.autorun);
    ApplyBackupButton(actions.backupButton);
    ApplyDocumentsButton(actions.documentsButton);
    if (actions.rebindHotKeys) {
        RegisterBuiltInHotKeys();
    }
}

void CMainFrame::ApplyTopMost(bool isTopMost) {
    platform::Hwnd launcher = platform::FindLauncherWindow();
    if (!launcher) {
        return;
    }
    PlaceLauncher(launcher, isTopMost, launcher.IsVisible() ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
}

void CMainFrame::ApplyAutorun(common::AutorunAction action) {
    std::u16string path = common::AutorunInfPath(platform::FromWide(m_state.moduleFolder));
    if (path.empty()) {
        return;
    }
    if (action == common::AutorunAction::Write) {
        m_store.WriteReplace(path, common::AutorunInfBytes());
    } else if (action == common::AutorunAction::Delete) {
        ::DeleteFileW(platform::WideCStr(path.c_str()));
    }
}

void CMainFrame::ApplyBackupButton(common::ButtonAction action) {
    if (action == common::ButtonAction::None) {
        return;
    }
    bool isAdd = action == common::ButtonAction::Add;
    SendLauncherItem(static_cast<UINT>(isAdd ? common::CopyDataKind::AddItem : common::CopyDataKind::RemoveItem),
                     common::BackupButtonRecord(isAdd, platform::FromWide(m_state.moduleFolder)));
}

void CMainFrame::ApplyDocumentsButton(common::ButtonAction action) {
    if (action == common::ButtonAction::None) {
        return;
    }
    bool isAdd = action == common::ButtonAction::Add;
    std::u16string folder = common::DocumentsFolder(platform::FromWide(m_state.moduleFolder));
    if (isAdd) {
        ::CreateDirectoryW(platform::WideCStr(folder.c_str()), nullptr);
    }
    SendLauncherItem(static_cast<UINT>(isAdd ? common::CopyDataKind::AddItem : common::CopyDataKind::RemoveItem),
                     common::DocumentsButtonRecord(isAdd, folder));
}

void CMainFrame::SendLauncherItem(UINT kind, const common::PackageRecord& record) {
    platform::Hwnd launcher = platform::FindLauncherWindow();
    if (!launcher) {
        return;
    }
    uint8_t bytes[common::PackageRecord::kSize];
    record.ToBytes(bytes);
    COPYDATASTRUCT data = {};
    data.dwData = kind;
    data.cbData = sizeof(bytes);
    data.lpData = bytes;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(launcher, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd().get()),
                          reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
}
