// The settings program's frame: the bar, the views and their swapping.
#include "settings/MainFrame.h"

#include <commctrl.h>

#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "platform/GdiGuards.h"
#include "platform/WideText.h"
#include "platform/framework/DialogBase.h"
#include "settings/FormBackupView.h"
#include "settings/FormEtcView.h"
#include "settings/FormHelpView.h"
#include "settings/FormNormalView.h"
#include "settings/FormPrgManView.h"
#include "settings/resource.h"

namespace {

// At 96 DPI; scaled to the screen's.
constexpr int kBarWidth = 100;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr int kFramePosition = 100;
constexpr UINT kBarId = 1;
constexpr UINT kPaneId = 0xE900;  // the right pane's id; a hidden view carries -1
constexpr UINT kMsgShowBackupView = common::kMsgShowBackupView;
constexpr UINT kMsgShowHelpView = common::kMsgShowHelpView;
constexpr int kBackupView = 2;
constexpr int kHelpView = 4;
constexpr std::array<OutlookBarItem, COutlookBar::kItemCount> kBarItems = {{
    {ID_VIEW_GENERAL, L"일반 설정", IDB_OUTLOOK_GENERAL},
    {ID_VIEW_GENERAL + 1, L"프로그램 관리", IDB_OUTLOOK_PROGRAMS},
    {ID_VIEW_GENERAL + 2, L"백업 설정", IDB_OUTLOOK_BACKUP},
    {ID_VIEW_GENERAL + 3, L"기타 옵션", IDB_OUTLOOK_OTHER_OPTIONS},
    {ID_VIEW_GENERAL + 4, L"도움말", IDB_OUTLOOK_HELP},
}};
// Menu entries of a document the program does not have, and of looks it does not offer: shown greyed.
constexpr UINT kUnavailableCommands[] = {
    ID_FILE_NEW,  ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, ID_EDIT_UNDO,    ID_EDIT_CUT,
    ID_EDIT_COPY, ID_EDIT_PASTE, ID_VIEW_TOOLBAR,       ID_VIEW_OFFICE2003,  ID_VIEW_OFFICEXP};

}  // namespace

CMainFrame::CMainFrame(HINSTANCE instance, SettingsContext& context, platform::ModelessDialogs& dialogs)
    : m_instance(instance), m_context(context), m_dialogs(dialogs), m_bar(L"제어판", kBarItems) {}

int CMainFrame::Scale(int pixels) const {
    return ::MulDiv(pixels, m_dpi, 96);
}

bool CMainFrame::Create() {
    platform::FrameClass frameClass;
    frameClass.className = platform::WideCStr(common::kSettingsClass);
    frameClass.iconId = IDR_MAINFRAME;
    frameClass.classStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    {
        platform::WindowDc screen(nullptr);
        m_dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    RECT rect = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + Scale(kFrameWidth), CW_USEDEFAULT + Scale(kFrameHeight)};
    const DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_MAXIMIZEBOX | WS_THICKFRAME);
    if (!CreateFrame(m_instance, frameClass, L"", style, 0, &rect)) {
        return false;
    }
    ::SetMenu(hwnd(), ::LoadMenuW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    ::MoveWindow(hwnd(), Scale(kFramePosition), Scale(kFramePosition), Scale(kFrameWidth), Scale(kFrameHeight), FALSE);
    int start = common::StartView(m_context.start);
    ShowView(0);
    if (start != 0) {
        ShowView(start);
    }
    return true;
}

bool CMainFrame::OnCreate(const CREATESTRUCTW& /*create*/) {
    m_status = ::CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd(), nullptr,
                                 m_instance, nullptr);
    // Where this program keeps what it saves: true for the whole run.
    const std::wstring where = L"설정 파일: " + m_context.SuiteFile(common::kSettingsFile);
    ::SendMessageW(m_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(where.c_str()));
    if (!m_bar.Create(m_instance, hwnd(), kBarId)) {
        return false;
    }
    m_views = {std::make_unique<CFormNormalView>(m_context), std::make_unique<CFormPrgManView>(m_context),
               std::make_unique<CFormBackupView>(m_context), std::make_unique<CFormEtcView>(m_context),
               std::make_unique<CFormHelpView>(m_context)};
    const RECT nothing = {0, 0, 0, 0};
    for (auto& view : m_views) {
        if (!view->CreateForm(m_instance, view->TemplateId(), hwnd(), nothing, static_cast<UINT>(-1), &m_dialogs)) {
            return false;
        }
    }
    return true;
}

RECT CMainFrame::PaneRect() const {
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    int statusHeight = 0;
    if (IsStatusBarShown()) {
        RECT status = {};
        ::GetWindowRect(m_status, &status);
        statusHeight = status.bottom - status.top;
    }
    return RECT{Scale(kBarWidth), 0, client.right, client.bottom - statusHeight};
}

// Its own flag, not IsWindowVisible: that is false for every child while the frame itself is still hidden.
bool CMainFrame::IsStatusBarShown() const {
    return (::GetWindowLongPtrW(m_status, GWL_STYLE) & WS_VISIBLE) != 0;
}

void CMainFrame::OnSize() {
    ::SendMessageW(m_status, WM_SIZE, 0, 0);
    RECT pane = PaneRect();
    ::MoveWindow(m_bar.hwnd(), 0, 0, pane.left, pane.bottom, TRUE);
    if (m_current >= 0) {
        ::MoveWindow(m_views[m_current]->hwnd(), pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                     TRUE);
    }
}

void CMainFrame::ToggleStatusBar() {
    ::ShowWindow(m_status, IsStatusBarShown() ? SW_HIDE : SW_SHOW);
    OnSize();
}

void CMainFrame::OnInitMenuPopup(HMENU menu) {
    for (UINT id : kUnavailableCommands) {
        ::EnableMenuItem(menu, id, MF_BYCOMMAND | MF_GRAYED);
    }
    ::CheckMenuItem(menu, ID_VIEW_STATUS_BAR, MF_BYCOMMAND | (IsStatusBarShown() ? MF_CHECKED : MF_UNCHECKED));
}

void CMainFrame::ShowView(int index) {
    if (index < 0 || index >= kViewCount || index == m_current) {
        return;
    }
    RECT pane = PaneRect();
    if (m_current >= 0) {
        HWND old = m_views[m_current]->hwnd();
        ::SetWindowLongPtrW(old, GWLP_ID, -1);
        ::SetWindowPos(old, HWND_BOTTOM, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE);
    }
    HWND shown = m_views[index]->hwnd();
    ::SetWindowLongPtrW(shown, GWLP_ID, kPaneId);
    ::SetWindowPos(shown, HWND_TOP, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top,
                   SWP_SHOWWINDOW);
    m_current = index;
    ::SendMessageW(shown, platform::kMsgInitialUpdate, 0, 0);
    wchar_t title[64] = {};
    ::LoadStringW(m_instance, IDS_TITLE_GENERAL + index, title, 64);
    ::SetWindowTextW(hwnd(), title);
    m_bar.SetSelected(index);
}

LRESULT CMainFrame::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgShowBackupView:
            ShowView(kBackupView);
            return 0;
        case kMsgShowHelpView:
            ShowView(kHelpView);
            return 0;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_INITMENUPOPUP:
            OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
            return 0;
        case WM_SETFOCUS:
            // The frame itself takes no keys: the bar does, so Up, Down and Enter work from the start.
            ::SetFocus(m_bar.hwnd());
            return 0;
        default:
            break;
    }
    return FrameWindow::WndProc(message, wParam, lParam);
}

bool CMainFrame::OnCommand(UINT id, UINT /*code*/, HWND /*control*/) {
    if (id >= ID_VIEW_GENERAL && id < ID_VIEW_GENERAL + kViewCount) {
        ShowView(static_cast<int>(id - ID_VIEW_GENERAL));
        return true;
    }
    switch (id) {
        case ID_APP_EXIT:
            hwnd().Destroy();
            return true;
        case ID_VIEW_STATUS_BAR:
            ToggleStatusBar();
            return true;
        case ID_APP_ABOUT: {
            // Static text and one button: the base's OK and Cancel handling is all the box needs.
            platform::DialogBase about;
            about.DoModal(m_instance, IDD_ABOUTBOX, hwnd());
            return true;
        }
        default:
            // The greyed entries (a keyboard accelerator could still send one) do nothing.
            return id >= ID_FILE_NEW;
    }
}

void CMainFrame::OnDestroy() {
    ::PostQuitMessage(0);
}
