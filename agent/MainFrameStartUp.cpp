// Main frame: the start-up steps, from the status window to the auto-start programs.
#include "agent/AgentFiles.h"
#include "agent/EnvironmentScan.h"
#include "agent/HotKeys.h"
#include "agent/MainFrame.h"
#include "agent/jobs/StagingArea.h"
#include "agent/resource.h"
#include "common/config/StoreHosts.h"
#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"

namespace {
constexpr DWORD kAutoStartPauseMs = 100;
}  // namespace

void CMainFrame::RunStartUp(platform::ModelessDialogs* dialogs) {
    m_dialogs = dialogs;
    m_status.Create(m_instance, hwnd(), dialogs);
    Report(L"Kelvo 런처를 실행합니다.");
    ReplaceStagedUpdater(m_state.moduleFolder);
    std::wstring credentials = ModuleFile(common::kCredentialsFile);
    if (::GetFileAttributesW(credentials.c_str()) != INVALID_FILE_ATTRIBUTES) {
        Report(L"사용자 정보를 확인하고 있습니다.");
    }
    m_state.credentials = ReadCredentials(m_store, platform::FromWide(credentials));
    Report(L"런처 실행환경을 설정합니다.");
    ReadSettingsFile();
    ReadEnvironmentFile();
    m_trayMenu.reset(::LoadMenuW(m_instance, MAKEINTRESOURCEW(IDR_TRAYMENU)));
    PutTrayIcon();
    RecoverStagingArea(ModuleFile(common::kStagingFolder));
    StartWorker();
    Report(L"Kelvo 런처를 실행합니다.");
    if (m_state.settings.trayIconMode == 0) {
        ShowLauncher();
    }
    RegisterBuiltInHotKeys();
    Report(L"자동 시작 어플리케이션을 실행 합니다.");
    StartAll(m_starter, m_state.autoStart, kAutoStartPauseMs);
    m_status.Hide();
}

void CMainFrame::Report(const std::wstring& text) {
    m_status.Report(text);
}

void CMainFrame::ReadSettingsFile() {
    std::u16string path = platform::FromWide(ModuleFile(common::kSettingsFile));
    if (ReadSettingsInto(m_store, path, m_state.settings)) {
        return;
    }
    // The rejected file is kept beside the default; when it cannot be kept it is not overwritten either.
    if (!KeepRejectedFile(m_store, path) || !WriteDefaultResource(m_store, m_instance, IDR_DEFAULT_SETTINGS, path)) {
        return;
    }
    // Nothing of the rejected file may survive: the default's empty hotkey entries would leave its keys in place.
    m_state.settings = common::SettingsRecord{};
    ReadSettingsInto(m_store, path, m_state.settings);
}

void CMainFrame::ReadEnvironmentFile() {
    m_state.autoStart.Clear();
    m_state.autoClose.Clear();
    std::u16string path = platform::FromWide(ModuleFile(common::kEnvironmentFile));
    if (!ScanEnvironment()) {
        if (KeepRejectedFile(m_store, path) &&
            WriteDefaultResource(m_store, m_instance, IDR_DEFAULT_ENVIRONMENT, path)) {
            ScanEnvironment();
        }
    }
    ClearUpdateFlags(m_store, path, m_state.interruptedUpdates);
}

bool CMainFrame::ScanEnvironment() {
    std::optional<EnvironmentScan> scan =
        ScanEnvironmentFile(ModuleFile(common::kEnvironmentFile), SuiteDrive(), m_boxes, hwnd());
    if (!scan) {
        return false;
    }
    for (const std::u16string& path : scan->autoStart) {
        m_state.autoStart.Append(path);
    }
    for (const std::u16string& path : scan->autoClose) {
        m_state.autoClose.Append(path);
    }
    for (const common::HotKeyBinding& binding : scan->hotKeys) {
        BindHotKey(hwnd(), binding);
    }
    m_state.interruptedUpdates = scan->interruptedUpdates;
    return true;
}

void CMainFrame::PutTrayIcon() {
    m_icon.reset(static_cast<HICON>(::LoadImageW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME_ICON), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                 LR_DEFAULTCOLOR)));
    m_tray.Init(hwnd(), m_icon.get(), platform::WideCStr(common::kStoreName));
    m_isTrayShown = m_tray.Put();
}

void CMainFrame::StartWorker(std::unique_ptr<IPackageJobRunner> runner) {
    m_state.flags.isBusy = false;
    m_state.workerStop.Reset();
    m_jobReports.Attach(hwnd());
    if (!runner) {
        runner = std::make_unique<CPackageJobRunner>(PackageJobContext{
            m_state.workerStop, m_jobReports, m_state.moduleFolder, ModuleFile(common::kStagingFolder),
            platform::ToWide(common::kStoreHttpHost), platform::ToWide(common::kStoreFtpHost),
            platform::StoreLogin{platform::ToWide(m_state.credentials.id),
                                 platform::ToWide(m_state.credentials.password)}});
    }
    m_jobRunner = std::move(runner);
    m_worker = std::make_unique<PackageWorker>(m_state.flags, m_state.jobs, m_state.jobsQueued, m_state.workerStop,
                                               hwnd(), m_jobRunner.get());
    m_worker->Start();
}
