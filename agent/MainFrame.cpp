// Main frame of the agent: the message table, the handlers of the other programs' messages, the exit procedure.
#include "agent/MainFrame.h"

#include "agent/AgentFiles.h"
#include "agent/EnvironmentScan.h"
#include "agent/HotKeys.h"
#include "agent/jobs/JobReports.h"
#include "agent/resource.h"
#include "common/agent/DriveRemoval.h"
#include "common/agent/HotKeyBinding.h"
#include "common/agent/LauncherButtons.h"
#include "common/agent/PackageJobs.h"
#include "common/agent/ProgramList.h"
#include "common/agent/UpdateCheck.h"
#include "common/config/StoreHosts.h"
#include "common/ipc/CopyData.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"
#include "platform/framework/MessageBoxes.h"
#include "platform/inet/StoreNotice.h"

namespace {

constexpr wchar_t kAskExit[] = L"Kelvo를 종료 하시겠습니까?";
constexpr wchar_t kAskExitDuringJob[] =
    L"프로그램 설치 또는 업데이트가 진행 중입니다.\n설치도중 종료하면 처음부터 다시 설치하셔야 합니다.\n\n종료 "
    L"하시겠습니까?";
constexpr wchar_t kAskExitOnRemoval[] = L"Kelvo가 제거 되었습니다.\nKelvo를 종료 하시겠습니까?";

// A job checks the stop between chunks, and a blocked fetch returns once its handle is closed (under Wine at its
// 5-second receive timeout). One that has not returned by then is left to the end of the process.
constexpr DWORD kWorkerStopTimeoutMs = 10000;
constexpr wchar_t kStillStopping[] = L"다운로드를 중지하고 있습니다.\n중지를 기다리지 않고 Kelvo를 종료합니다.";
// The other programs are told to close by a sent WM_DESTROY; a hung one must not hang the agent's exit.
constexpr UINT kCloseSendTimeoutMs = 10000;
constexpr wchar_t kRemovedNotice[] = L"/apps/delete_Set.asp";

void SendDestroy(platform::Hwnd window) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, WM_DESTROY, 0, 0, SMTO_ABORTIFHUNG, kCloseSendTimeoutMs, &result);
}

}  // namespace

CMainFrame::CMainFrame(HINSTANCE instance, AgentState& state, platform::IMessageBoxes& boxes, IProgramStarter& starter,
                       common::IFileStore& store)
    : m_instance(instance),
      m_state(state),
      m_boxes(boxes),
      m_starter(starter),
      m_store(store),
      m_jobReports(boxes, &JobReportText, common::kMsgWorkerReport, &state.workerStop) {}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create() {
    m_taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    platform::FrameClass frameClass;
    frameClass.className = platform::WideCStr(common::kAgentClass);
    frameClass.iconId = IDR_MAINFRAME_ICON;
    frameClass.classStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    if (!CreateFrame(m_instance, frameClass, platform::WideCStr(common::kAgentClass), WS_OVERLAPPEDWINDOW)) {
        return false;
    }
    hwnd().Show(SW_HIDE);
    hwnd().Update();
    return true;
}

LRESULT CMainFrame::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message has no constant, so it cannot be a case below.
    if (m_taskbarCreated != 0 && message == m_taskbarCreated) {
        OnTaskbarCreated();
        return 0;
    }
    switch (message) {
        case common::kMsgTrayNotify:
            return OnTrayNotify(static_cast<UINT>(LOWORD(lParam)));
        case common::kMsgBrowserUpdateQueued:
        case common::kMsgBrowserInstallQueued:
            OnBrowserJobQueued();
            return 0;
        case common::kMsgBrowserClosed:
            OnBrowserClosed();
            return 0;
        case common::kMsgOpenStore:
            OnOpenStore();
            return 0;
        case common::kMsgSettingsSaved:
            OnSettingsSaved();
            return 0;
        case common::kMsgCheckForUpdate:
            // Its two parameters would be addresses in this process, which any program can post; the store page
            // calls the check directly instead.
            return 0;
        case common::kMsgEnvChanged:
            return OnEnvChanged(static_cast<UINT>(wParam), lParam);
        case common::kMsgShutDown:
            OnShutDown();
            return 0;
        case common::kMsgWorkerReport:
            m_jobReports.ShowPending();
            return 0;
        case common::kMsgWorkerShowLauncher:
            ShowLauncher();
            return 0;
        case WM_TIMER:
            if (wParam == kLauncherPollTimer) {
                PollForLauncher();
                return 0;
            }
            break;
        case WM_HOTKEY:
            OnHotKey(static_cast<int>(static_cast<INT_PTR>(wParam)));
            break;
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_DEVICECHANGE:
            OnDeviceChange(wParam, lParam);
            break;
        default:
            break;
    }
    return FrameWindow::WndProc(message, wParam, lParam);
}

LRESULT CMainFrame::OnTrayNotify(UINT mouseMessage) {
    if (mouseMessage == WM_LBUTTONDBLCLK) {
        ShowLauncher();
    } else if (mouseMessage == WM_RBUTTONDOWN) {
        ShowTrayMenu();
    }
    return 1;
}

void CMainFrame::OnBrowserJobQueued() {
    ShowLauncher();
}

void CMainFrame::OnBrowserClosed() {
    if (m_storeBrowser && m_storeBrowser->hwnd()) {
        m_storeBrowser->hwnd().Destroy();
    }
    m_isStoreBrowserOpen = false;
}

void CMainFrame::OnOpenStore() {
    if (m_isStoreBrowserOpen && m_storeBrowser && m_storeBrowser->hwnd()) {
        platform::Hwnd browser = m_storeBrowser->hwnd();
        if (::IsIconic(browser)) {
            ::ShowWindow(browser, SW_RESTORE);  // the store button brings back a minimised store window too
        }
        browser.SetForeground();
        browser.SetPos(HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        return;
    }
    if (!m_storeBrowser) {
        m_storeBrowser =
            std::make_unique<CFormBrowser>(m_instance, hwnd(), m_state, m_boxes, m_state.external, StoreUpdateCheck());
    }
    m_isStoreBrowserOpen = m_storeBrowser->Open(m_dialogs);
}

UpdateCheckContext CMainFrame::CheckContext() const {
    return UpdateCheckContext{m_state.moduleFolder, m_state.tempFolder, platform::ToWide(common::kStoreHttpHost),
                              m_boxes};
}

int CMainFrame::CheckForUpdateNow(const std::u16string& profilePath, const std::u16string& folderName) {
    return CheckForUpdate(CheckContext(), profilePath, folderName);
}

void CMainFrame::QueueSettingsUpdate(const std::u16string& profilePath, const std::u16string& folderName) {
    std::optional<int32_t> packageId;
    if (std::optional<EnvironmentScan> scan = ScanEnvironmentFile(ModuleFile(common::kEnvironmentFile), 0)) {
        packageId = ListedPackageInFolder(scan->packages, SuiteDrive(), folderName);
    }
    std::optional<common::StoreProfileParts> parts = common::SplitStoreProfilePath(profilePath);
    std::optional<common::PackageJob> job;
    if (packageId && parts) {
        job = common::MakePackageJob(*packageId, parts->storeDirectory, parts->packageName);
    }
    if (!job) {
        platform::ShowInfo(m_boxes, hwnd(), kUpdateNotQueuedText);
        return;
    }
    if (!m_state.jobs.Append(common::JobKind::Update, *job)) {
        platform::ShowInfo(m_boxes, hwnd(), kUpdateInProgressText);
        return;
    }
    m_state.jobsQueued.Set();
    hwnd().Post(common::kMsgBrowserUpdateQueued, static_cast<WPARAM>(job->packageIndex), 0);
}

UpdateCheckResult CMainFrame::CheckStoreUpdate(const std::u16string& profilePath, const std::u16string& folderName) {
    return CheckStoreVersion(CheckContext(), profilePath, folderName);
}

LRESULT CMainFrame::OnEnvChanged(UINT kind, LPARAM packageId) {
    if (kind != common::kEnvPackageRemoved && kind != common::kEnvRecheckPrograms && kind != common::kEnvFileEdited) {
        return 0;
    }
    if (kind == common::kEnvPackageRemoved) {
        platform::StoreLogin login{platform::ToWide(m_state.credentials.id),
                                   platform::ToWide(m_state.credentials.password)};
        if (DWORD code = platform::SendStoreNotice(platform::ToWide(common::kStoreHttpHost), kRemovedNotice, login,
                                                   static_cast<int>(packageId))) {
            platform::AppMessageBox(m_boxes, platform::WideCStr(common::kAgentTitle),
                                    platform::StoreNoticeErrorText(code));
        }
    }
    platform::Hwnd launcher = platform::FindLauncherWindow();
    if (!launcher) {
        // A launcher that starts now reads the file as it is: starting it is all the relay there is to do.
        return ShowLauncher() ? 1 : 0;
    }
    if (kind == common::kEnvPackageRemoved) {
        launcher.Post(common::kMsgEnvChanged, common::kEnvPackageRemoved, 0);
        return 0;
    }
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(launcher, common::kMsgEnvChanged, kind, 0, SMTO_ABORTIFHUNG, kCloseSendTimeoutMs,
                                 &result) != 0
               ? 1
               : 0;
}

void CMainFrame::OnShutDown() {
    ExitSuite();
}

void CMainFrame::OnHotKey(int id) {
    switch (id) {
        case common::kHotKeyLauncherOpen:
            ShowLauncher();
            break;
        case common::kHotKeyLauncherHide:
            HideLauncher();
            break;
        case common::kHotKeyBackup:
            OpenSettingsView(common::kSettingsViewBackup, common::kMsgShowBackupView);
            break;
        case common::kHotKeySearch:
            OpenFileSearch();
            break;
        default:
            if (platform::Hwnd launcher = platform::FindLauncherWindow()) {
                launcher.Post(common::kMsgRunPackage, static_cast<WPARAM>(id), 0);
            }
            break;
    }
}

LRESULT CMainFrame::OnCopyData(HWND /*sender*/, const COPYDATASTRUCT* data) {
    if (data == nullptr) {
        return FALSE;
    }
    switch (static_cast<common::CopyDataKind>(data->dwData)) {
        case common::CopyDataKind::UpdateCheck: {
            std::optional<common::UpdateCheckPayload> payload =
                common::UpdateCheckPayload::Read(data->lpData, data->cbData);
            if (!payload) {
                return 0;
            }
            const int newer = CheckForUpdateNow(payload->profilePath, payload->folderName);
            if (newer != 0) {
                // The settings program has its answer now; a box the queueing may show does not hold it up.
                ::ReplyMessage(newer);
                QueueSettingsUpdate(payload->profilePath, payload->folderName);
            }
            return newer;
        }
        case common::CopyDataKind::AutoPrograms: {
            std::optional<common::AutoProgramsPayload> payload =
                common::AutoProgramsPayload::Read(data->lpData, data->cbData);
            if (!payload) {
                return FALSE;
            }
            m_state.autoStart.AppendUnique(payload->startPath);
            m_state.autoClose.AppendUnique(payload->closePath);
            return TRUE;
        }
        case common::CopyDataKind::HotKey: {
            std::optional<common::HotKeyBinding> binding = common::ReadHotKeyPayload(data->lpData, data->cbData);
            if (!binding) {
                return FALSE;
            }
            BindHotKey(hwnd(), *binding);
            return TRUE;
        }
        default:
            return TRUE;
    }
}

void CMainFrame::OnDeviceChange(WPARAM event, LPARAM data) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (event != DBT_DEVICEREMOVECOMPLETE || header == nullptr || header->dbch_devicetype != DBT_DEVTYP_VOLUME ||
        header->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) {
        return;
    }
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
    if (!common::IsSuiteDriveRemoved(volume->dbcv_unitmask, platform::FromWide(m_state.moduleFolder))) {
        return;
    }
    if (platform::AskYesNo(m_boxes, hwnd(), kAskExitOnRemoval)) {
        m_state.flags.isQuietExit = true;
        ExitSuite();
    }
}

void CMainFrame::OnTaskbarCreated() {
    if (m_icon) {
        m_isTrayShown = m_tray.Add();
    }
}

void CMainFrame::ExitSuite() {
    // The questions and the wait for the worker pump messages; a second exit request meanwhile is the same one.
    if (m_isExiting) {
        return;
    }
    m_isExiting = true;
    const bool isGoing = (m_state.flags.isQuietExit.load() || platform::AskYesNo(m_boxes, hwnd(), kAskExit)) &&
                         (!m_state.flags.isBusy.load() || StopWorkerForExit());
    m_isExiting = false;
    if (!isGoing) {
        return;
    }
    if (platform::Hwnd launcher = platform::FindLauncherWindow()) {
        SendDestroy(launcher);
    }
    if (platform::Hwnd settings = platform::FindSettingsWindow()) {
        SendDestroy(settings);
    }
    if (m_isTrayShown) {
        m_tray.Delete();
        m_isTrayShown = false;
    }
    // OnDestroy stops the idle worker and ends the message loop.
    hwnd().Destroy();
}

bool CMainFrame::StopWorkerForExit() {
    if (!platform::AskYesNo(m_boxes, hwnd(), kAskExitDuringJob)) {
        return false;
    }
    // Also closes the running fetch's handles from here, which ends a call blocked in the network.
    m_state.workerStop.Stop();
    if (m_worker && !m_worker->JoinPumping(kWorkerStopTimeoutMs)) {
        // The user said to go: the suite shuts down all the same, and the process ends without the worker.
        m_isWorkerStuck = true;
        platform::ShowInfo(m_boxes, hwnd(), kStillStopping);
    }
    return true;
}

void CMainFrame::OnDestroy() {
    m_state.workerStop.Stop();
    if (m_worker && !m_isWorkerStuck && !m_worker->JoinPumping(kWorkerStopTimeoutMs)) {
        m_isWorkerStuck = true;  // it ends with the process
    }
    if (m_isTrayShown) {
        m_tray.Delete();
        m_isTrayShown = false;
    }
    ::PostQuitMessage(0);
}

std::wstring CMainFrame::ModuleFile(const char16_t* name) const {
    return m_state.moduleFolder + L"\\" + platform::WideCStr(name);
}

char16_t CMainFrame::SuiteDrive() const {
    return m_state.moduleFolder.empty() ? u'\0' : static_cast<char16_t>(m_state.moduleFolder.front());
}
