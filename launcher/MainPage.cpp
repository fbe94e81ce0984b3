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
#include "launcher/resource.h"
#include "launcher/skin/SkinIds.h"
#include "platform/FileProbeWin.h"
#include "platform/FileStoreWin.h"
#include "platform/GdiGuards.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

namespace {
constexpr int kWindowWidth = 330;
constexpr int kWindowHeight = 556;
// The window's bottom edge sits this far above the screen's.
constexpr int kBottomGap = 50;
constexpr COLORREF kColourKey = RGB(255, 0, 255);

HFONT CreateVerdana(int height) {
    return ::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGEUL_CHARSET, OUT_STROKE_PRECIS,
                         CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Verdana");
}
}  // namespace

CMainPage::CMainPage(HINSTANCE instance, platform::IMessageBoxes& boxes)
    : m_instance(instance),
      m_boxes(boxes),
      m_fileStore(std::make_unique<platform::FileStoreWin>()),
      m_fileProbe(std::make_unique<platform::FileProbeWin>()),
      m_skin(std::make_unique<CSkin>(instance)) {}

CMainPage::~CMainPage() = default;

bool CMainPage::CreateAndShow(int showCommand) {
    platform::FrameClass frameClass;
    frameClass.className = platform::WideCStr(common::kLauncherClass);
    frameClass.iconId = IDI_LAUNCHER;
    frameClass.classStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    frameClass.background = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    frameClass.cursorId = nullptr;  // the pointer keeps whatever shape it had, as the skin has no cursor
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    int left = screenWidth - kWindowWidth;
    int top = screenHeight - kBottomGap - kWindowHeight;
    RECT place = {left, top, left + kWindowWidth, top + kWindowHeight};
    if (!CreateFrame(m_instance, frameClass, platform::WideCStr(common::kLauncherTitle), WS_POPUP, 0, &place)) {
        return false;
    }
    platform::Hwnd window = hwnd();
    ::DragAcceptFiles(window, TRUE);
    g_mainWindow = window;
    StartUp();
    window.Show(showCommand);
    window.Update();

    // Magenta corners of the skin become invisible and let clicks through.
    window.SetLong(GWL_EXSTYLE, window.GetLong(GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(window, kColourKey, 0, LWA_COLORKEY);
    return true;
}

void CMainPage::StartUp() {
    g_launcherFolder = ComputeLauncherFolder(m_boxes);
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
    m_backdrop.Free();
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
    platform::SelectGuard select(dc.get(), m_smallFont);
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
    m_isBackdropStale = true;
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

bool CMainPage::LeavesFrameAsItIs(UINT message) const {
    switch (message) {
        case WM_NCHITTEST:
        case WM_SETCURSOR:
            return true;
        case WM_MOUSEMOVE:
            // Without a frame control held, the pointer moves only the pages or the window (a drag).
            return !IsPanelOpen() && m_frameHost.Captured() == nullptr;
        default:
            return false;
    }
}

LRESULT CMainPage::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!LeavesFrameAsItIs(message)) {
        m_isFrameCurrent = false;
    }
    if (OfferToPanel(message, wParam, lParam)) {
        return 0;
    }
    switch (message) {
        case common::kMsgButtonNotice:
            OnButtonNotice(LOWORD(wParam));
            return 0;
        case WM_COPYDATA:
            return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            return OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_LBUTTONUP:
            return OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_RBUTTONUP:
            OnRButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_PAINT:
            OnPaintMessage();
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 1;
        case WM_ACTIVATE:
            OnActivate(wParam != 0);
            break;
        case WM_SETTINGCHANGE:
            OnSettingChange();
            break;
        case common::kMsgGoToPage:
            OnGoToPage(wParam);
            return 0;
        case common::kMsgEnvChanged:
            OnEnvironmentChanged(wParam);
            return 0;
        case common::kMsgJobProgress:
            OnJobProgress(wParam, lParam);
            return 0;
        case common::kMsgJobFinished:
            OnJobFinished(lParam);
            return 0;
        case common::kMsgRunPackage:
            OnRunPackage(wParam);
            return 0;
        case common::kMsgRemoveEmptyPage:
            OnRemoveEmptyPage(wParam);
            return 0;
        default:
            break;
    }
    return FrameWindow::WndProc(message, wParam, lParam);
}

bool CMainPage::OfferToPanel(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_panel.IsOpen()) {
        return false;
    }
    return TakePanelOutcome(m_panel.Offer(message, wParam, lParam));
}

bool CMainPage::TakePanelOutcome(PanelOutcome outcome) {
    if (outcome == PanelOutcome::NotConsumed) {
        return false;
    }
    if (outcome == PanelOutcome::Shown) {
        Paint();
        return false;
    }
    if (outcome == PanelOutcome::Consumed) {
        Paint();
    } else {
        OnPanelAction(outcome);
    }
    return true;
}

void CMainPage::OnDestroy() {
    m_isStopRequested = true;
    m_isActive = false;
    ::PostQuitMessage(0);
}

void CMainPage::OnActivate(bool isActive) {
    m_isActive = isActive;
    if (m_isActive) {
        hwnd().SetForeground();
    }
}

void CMainPage::OnSettingChange() {
    if (m_isActive) {
        hwnd().SetForeground();
    }
}

bool CMainPage::OnCommand(UINT id, UINT /*code*/, HWND control) {
    // Only the context menus' items; the launcher has no child controls.
    if (control != nullptr) {
        return false;
    }
    OnMenuCommand(id);
    return true;
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
                m_isStopRequested = true;
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
    // A sent message never passes the loop, which tells of unsaved changes after the sender was let go: wake it.
    if (!m_isUnsavedTold && m_grid->HasUnsavedChanges()) {
        hwnd().Post(WM_NULL);
    }
    return TRUE;
}

void CMainPage::SetBackImage(const std::optional<std::u16string>& path) {
    m_isBackdropStale = true;
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

void CMainPage::OnRemoveEmptyPage(WPARAM pageSerial) {
    if (m_grid->RemoveEmptyPage(static_cast<uint32_t>(pageSerial))) {
        Repaint();
    }
}

void CMainPage::AfterItemRemoved(const std::optional<uint32_t>& emptiedPage) {
    // The page is named by its serial: indexes may shift before the posted message is handled.
    if (emptiedPage) {
        hwnd().Post(common::kMsgRemoveEmptyPage, static_cast<WPARAM>(*emptiedPage));
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
    std::optional<uint32_t> emptiedPage;
    if (m_grid->OnRemove(record.pkgId, record.caption.Get(), &emptiedPage)) {
        AfterItemRemoved(emptiedPage);
    }
}
