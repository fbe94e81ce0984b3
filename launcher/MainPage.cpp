// CMainPage: start-up and the launcher's message dispatch.
#include "launcher/MainPage.h"

#include <windowsx.h>

#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/layout/DriveText.h"
#include "common/model/EnvironmentFile.h"
#include "common/model/PageGrid.h"
#include "common/settings/LauncherSettings.h"
#include "common/text/PathUtil.h"
#include "common/xml/XmlDocument.h"
#include "launcher/LauncherGlobals.h"
#include "launcher/skin/SkinIds.h"
#include "platform/FileProbeWin.h"
#include "platform/FileStoreWin.h"
#include "platform/GdiGuards.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

namespace {
constexpr int kWindowWidth = 330;
constexpr int kWindowHeight = 556;

HFONT CreateVerdana(int height) {
    return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGEUL_CHARSET, OUT_STROKE_PRECIS,
                         CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Verdana");
}
}  // namespace

CMainPage::CMainPage(HINSTANCE instance)
    : CMainWnd(instance),
      m_fileStore(std::make_unique<platform::FileStoreWin>()),
      m_fileProbe(std::make_unique<platform::FileProbeWin>()),
      m_skin(std::make_unique<CSkin>(instance)) {}

CMainPage::~CMainPage() = default;

void CMainPage::StartUp() {
    g_launcherFolder = ComputeLauncherFolder();
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    m_display.Bind(hwnd(), kWindowWidth, kWindowHeight);
    CreateFonts();
    ReadDriveTexts();
    ReadLayout();
    ReadSettingsFile();
    CreateFrameButtons();
    m_panel.Create(hwnd(), *m_skin, m_layout);
    LoadEnvironment();
    hwnd().GetWindowRect(&m_windowRect);
    m_indicatorPositions.clear();
    ::SetCursor(previous != nullptr ? previous : ::LoadCursorW(nullptr, IDC_ARROW));
}

void CMainPage::ShutDown() {
    m_pages.clear();
    for (auto& item : m_menuItems) {
        item.reset();
    }
    m_grid.reset();
    m_environment.reset();
    m_backImage.Free();
    m_pageBuffer.Free();
    m_display.Free();
}

void CMainPage::CreateFonts() {
    m_captionFont.reset(CreateVerdana(11));
    m_smallFont.reset(CreateVerdana(10));
}

void CMainPage::ReadDriveTexts() {
    if (g_launcherFolder.empty()) {
        return;
    }
    std::wstring root = std::wstring(1, static_cast<wchar_t>(g_launcherFolder[0])) + L":\\";
    wchar_t label[MAX_PATH + 1] = {};
    ::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
    ULARGE_INTEGER total = {};
    ULARGE_INTEGER totalFree = {};
    ::GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, &totalFree);
    m_driveLabel = platform::ToWide(
        common::FormatDriveLabel(platform::FromWide(label), static_cast<char16_t>(g_launcherFolder[0])));
    m_freeSpace = platform::ToWide(common::FormatFreeSpace(totalFree.QuadPart, total.QuadPart));
    // The line ends at its right-end x; its width is measured once, with the font it is drawn in.
    platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    platform::SelectGuard select(dc.get(), m_smallFont.get());
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc.get(), m_freeSpace.c_str(), static_cast<int>(m_freeSpace.size()), &extent);
    m_freeSpaceWidth = extent.cx;
}

void CMainPage::ReadLayout() {
    auto read = [this](const char16_t* name) { return m_fileStore->ReadAll(common::JoinPath(g_launcherFolder, name)); };
    // A missing or short file falls back to the built-in layout, which equals the shipped files.
    m_layout = common::LayoutPoints::FromFiles(read(common::kMainPointFileName), read(common::kPagePosFileName),
                                               read(common::kEditCtrlPointFileName));
    common::Rect area = m_layout.PageArea();
    m_slider = std::make_unique<common::PageSlider>(m_layout.DragBandHeight(), area);
    m_pageBuffer.Create(area.Width(), area.Height());
    m_pageBuffer.SetKeyColor(RGB(0, 0, 0));
}

void CMainPage::ReadSettingsFile() {
    common::CXmlDocument document;
    if (!document.Load(*m_fileStore, common::JoinPath(g_launcherFolder, common::kSettingsFile))) {
        return;
    }
    SetBackImage(common::ReadLauncherBackImage(document));
}

void CMainPage::CreateFrameButtons() {
    common::Point home = m_layout.HomeButton();
    common::Point exit = m_layout.ExitButton();
    m_homeButton.Create(hwnd(), static_cast<uint16_t>(common::kIdHomeButton), home.x, home.y,
                        m_skin->Get(launcher::kSkinHomeButton), true, nullptr, CaptionMode::TopLeft, RGB(0, 0, 0), 0);
    m_exitButton.Create(hwnd(), static_cast<uint16_t>(common::kIdExitButton), exit.x, exit.y,
                        m_skin->Get(launcher::kSkinExitButton), true, nullptr, CaptionMode::TopLeft, RGB(0, 0, 0), 0);
}

void CMainPage::LoadEnvironment() {
    m_environment = std::make_unique<common::CEnvironmentFile>(
        *m_fileStore, common::JoinPath(g_launcherFolder, common::kEnvironmentFile));
    m_grid = std::make_unique<common::CPageGrid>(*m_environment, *m_fileProbe, g_launcherFolder);
    m_grid->Load();
    SyncVisuals();
}

LRESULT CMainPage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_panel.IsOpen()) {
        PanelOutcome outcome = m_panel.Offer(message, wParam, lParam);
        if (outcome != PanelOutcome::NotConsumed) {
            if (outcome == PanelOutcome::Consumed) {
                Paint();
            } else {
                OnPanelAction(outcome);
            }
            return 0;
        }
    }
    switch (message) {
        case common::kMsgButtonNotice:
            OnButtonNotice(LOWORD(wParam));
            break;
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_MOUSEMOVE:
            if (!IsPanelOpen()) {
                OnMouseMove(lParam);
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return OnMouseButton(message, lParam);
        case WM_PAINT:
            OnPaintMessage();
            return 0;
        case WM_DROPFILES:
            if (IsPanelOpen()) {
                ::DragFinish(reinterpret_cast<HDROP>(wParam));  // ignored, but the drop is always released
            } else {
                OnDropFiles(reinterpret_cast<HDROP>(wParam));
            }
            return 1;
        case WM_RBUTTONUP:
            if (!IsPanelOpen()) {
                OnContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            }
            return 0;
        case WM_COMMAND:
            if (lParam == 0) {
                OnMenuCommand(LOWORD(wParam));
                return 0;
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
        case common::kIdPackageButton:
            if (m_lastMenuRelease >= 0 && m_menuItems[m_lastMenuRelease] != nullptr &&
                m_grid->Menu()[m_lastMenuRelease].has_value()) {
                RunItem(*m_grid->Menu()[m_lastMenuRelease]);
            } else if (m_grid->CurrentPage() < m_pages.size()) {
                int item = m_pages[m_grid->CurrentPage()]->LastReleasedItem();
                const auto& items = m_grid->Pages()[m_grid->CurrentPage()].items;
                if (item >= 0 && static_cast<size_t>(item) < items.size()) {
                    RunItem(items[item]);
                }
            }
            m_lastMenuRelease = -1;
            break;
        case common::kIdHomeButton:
            if (IsPanelOpen()) {
                m_panel.Close();
                Paint();
            } else {
                // The agent shows the window again; hiding never ends the launcher.
                hwnd().Show(SW_HIDE);
            }
            break;
        case common::kIdExitButton:
            if (platform::Hwnd agent = platform::FindAgentWindow()) {
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
            SetBackImage(common::ReadBackImagePath(bytes, size));
            Repaint();
            break;
        case common::CopyDataKind::BackImageOff:
            SetBackImage(std::nullopt);
            Repaint();
            break;
        default:
            return FALSE;
    }
    return TRUE;
}

void CMainPage::SetBackImage(const std::optional<std::u16string>& path) {
    m_backImage.Free();
    m_isBackImageOn = false;
    m_backImagePath = path.value_or(std::u16string());
    if (m_backImagePath.empty()) {
        return;
    }
    common::Rect area = m_layout.PageArea();
    // A file that cannot be loaded leaves the page area without an image; nothing is reported.
    m_isBackImageOn =
        m_backImage.LoadBitmapFile(platform::ToWide(m_backImagePath).c_str(), area.Width(), area.Height());
    m_backImage.SetKeyColor(RGB(0, 0, 0));
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
        RunItem(m_grid->Pages()[place->page].items[place->item]);
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
