// CMainPage: start-up and the launcher's message dispatch.
#include "launcher/MainPage.h"

#include <shellapi.h>

#include "common/ipc/Messages.h"
#include "common/model/EnvironmentFile.h"
#include "common/model/PageGrid.h"
#include "common/settings/LauncherSettings.h"
#include "common/text/PathUtil.h"
#include "common/xml/XmlDocument.h"
#include "launcher/LauncherGlobals.h"
#include "platform/FileProbeWin.h"
#include "platform/FileStoreWin.h"
#include "platform/WideText.h"

namespace {
constexpr char16_t kEnvironmentFileName[] = u"TolvEnv.xml";
constexpr char16_t kSettingsFileName[] = u"TolvSet.xml";
}  // namespace

CMainPage::CMainPage(HINSTANCE instance)
    : CMainWnd(instance),
      m_fileStore(std::make_unique<platform::FileStoreWin>()),
      m_fileProbe(std::make_unique<platform::FileProbeWin>()) {}

CMainPage::~CMainPage() = default;

void CMainPage::StartUp() {
    g_launcherFolder = ComputeLauncherFolder();
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    // Back buffer, fonts, drive line, layout points and skin are composed by the drawing layer.
    ReadSettingsFile();
    LoadEnvironment();
    ::SetCursor(previous != nullptr ? previous : ::LoadCursorW(nullptr, IDC_ARROW));
}

void CMainPage::ShutDown() {
    m_grid.reset();
    m_environment.reset();
}

void CMainPage::ReadSettingsFile() {
    m_backImagePath.clear();
    common::CXmlDocument document;
    if (!document.Load(*m_fileStore, common::JoinPath(g_launcherFolder, kSettingsFileName))) {
        return;
    }
    if (auto backImage = common::ReadLauncherBackImage(document)) {
        m_backImagePath = *backImage;
    }
}

void CMainPage::LoadEnvironment() {
    m_environment = std::make_unique<common::CEnvironmentFile>(
        *m_fileStore, common::JoinPath(g_launcherFolder, kEnvironmentFileName));
    m_grid = std::make_unique<common::CPageGrid>(*m_environment, *m_fileProbe, g_launcherFolder);
    m_grid->Load();
}

void CMainPage::Repaint() {
    Paint();
}

LRESULT CMainPage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case common::kMsgButtonNotice:
            OnButtonNotice(LOWORD(wParam));
            break;
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            // Buttons, the page grid and swiping take the press; the window itself never does.
            return 1;
        case WM_DROPFILES:
            if (!IsPanelOpen()) {
                OnDropFiles(reinterpret_cast<HDROP>(wParam));
                return 1;
            }
            break;
        case common::kMsgGoToPage:
            OnGoToPage(wParam);
            break;
        case common::kMsgEnvChanged:
            OnEnvironmentChanged(wParam);
            break;
        case common::kMsgJobProgress:
            OnJobProgress(wParam, lParam);
            break;
        case common::kMsgJobFinished:
            OnJobFinished(lParam);
            break;
        case common::kMsgRunPackage:
            OnRunPackage(wParam);
            break;
        case common::kMsgRemoveEmptyPage:
            OnRemoveEmptyPage();
            break;
        default:
            break;
    }
    return CMainWnd::WndProc(message, wParam, lParam);
}

void CMainPage::OnButtonNotice(WORD controlId) {
    switch (controlId) {
        case common::kIdHomeButton:
            // The agent shows the window again; hiding never ends the launcher.
            hwnd().Show(SW_HIDE);
            break;
        case common::kIdExitButton:
            if (platform::Hwnd agent = platform::Hwnd::Find(platform::WideCStr(common::kAgentClass))) {
                agent.Post(common::kMsgShutDown, 0, 0);
            } else {
                RequestStop();
            }
            break;
        default:
            break;
    }
}

LRESULT CMainPage::OnCopyData(const COPYDATASTRUCT* data) {
    if (data == nullptr) {
        return FALSE;
    }
    auto kind = static_cast<uint32_t>(data->dwData);
    const void* bytes = data->lpData;
    size_t size = data->cbData;
    if (!common::IsLauncherPayloadAcceptable(kind, bytes, size)) {
        return FALSE;
    }
    switch (static_cast<common::CopyDataKind>(kind)) {
        case common::CopyDataKind::UpdateStarts:
        case common::CopyDataKind::InstallStarts:
            if (auto announce = common::PackageAnnounce::Read(bytes, size)) {
                OnPackageAnnounced(static_cast<common::CopyDataKind>(kind), *announce);
            }
            break;
        case common::CopyDataKind::AddItem:
            if (auto record = common::PackageRecord::FromBytes(bytes, size)) {
                OnAddItemRecord(*record);
            }
            break;
        case common::CopyDataKind::RemoveItem:
            if (auto record = common::PackageRecord::FromBytes(bytes, size)) {
                OnRemoveItemRecord(*record);
            }
            break;
        case common::CopyDataKind::BackImageOn:
            OnBackImage(common::ReadBackImagePath(bytes, size));
            break;
        case common::CopyDataKind::BackImageOff:
            OnBackImage(std::nullopt);
            break;
        default:
            return FALSE;
    }
    return TRUE;
}

void CMainPage::OnGoToPage(WPARAM pageIndex) {
    m_grid->SetCurrentPage(pageIndex);
    Repaint();
}

void CMainPage::OnEnvironmentChanged(WPARAM kind) {
    if (kind == common::kEnvPackageRemoved || kind == common::kEnvFileEdited) {
        m_grid->Reload();
        Repaint();
    } else if (kind == common::kEnvRecheckPrograms) {
        if (m_grid->Recheck()) {
            Repaint();
        }
    }
}

void CMainPage::OnJobProgress(WPARAM percent, LPARAM packageId) {
    // A sign-extended negative percent stays negative (drawn as 0 %); anything above 100 is stored as 0.
    if (m_grid->OnProgress(static_cast<int32_t>(packageId), static_cast<int64_t>(percent))) {
        Repaint();
    }
}

void CMainPage::OnJobFinished(LPARAM packageId) {
    if (m_grid->OnFinished(static_cast<int32_t>(packageId))) {
        Repaint();
    }
}

void CMainPage::OnRunPackage(WPARAM packageId) {
    if (auto place = m_grid->FindById(static_cast<int32_t>(packageId))) {
        RunItem(place->page, place->item);
    }
}

void CMainPage::OnRemoveEmptyPage() {
    if (m_grid->RemoveEmptyPage()) {
        Repaint();
    }
}

void CMainPage::AfterItemRemoved(bool isPageEmptied) {
    if (isPageEmptied) {
        hwnd().Post(common::kMsgRemoveEmptyPage);
    }
    Repaint();
}

void CMainPage::RunItem(size_t, size_t) {
    // Running items (shell verbs, the store, the search window) belongs to the item commands.
}

void CMainPage::OnDropFiles(HDROP drop) {
    // Registering a dropped file belongs to the item commands; the drop is always released.
    ::DragFinish(drop);
}

void CMainPage::OnPackageAnnounced(common::CopyDataKind kind, const common::PackageAnnounce& announce) {
    bool alwaysAdd = kind == common::CopyDataKind::InstallStarts;
    if (m_grid->OnInstallStarted(announce.packageId, announce.caption, announce.programPath, alwaysAdd)) {
        Repaint();
    }
}

void CMainPage::OnAddItemRecord(const common::PackageRecord& record) {
    if (m_grid->AddRecord(record)) {
        Repaint();
    }
}

void CMainPage::OnRemoveItemRecord(const common::PackageRecord& record) {
    bool isPageEmptied = false;
    if (m_grid->OnRemove(record.pkgId, record.caption.Get(), &isPageEmptied)) {
        AfterItemRemoved(isPageEmptied);
    }
}

void CMainPage::OnBackImage(const std::optional<std::u16string>& path) {
    m_backImagePath = path.value_or(std::u16string());
}
