// The settings program's frame: the bar, the views and their swapping.
#include "settings/MainFrame.h"

#include <commctrl.h>

#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/framework/DialogBase.h"
#include "settings/FormBackupView.h"
#include "settings/FormEtcView.h"
#include "settings/FormHelpView.h"
#include "settings/FormNormalView.h"
#include "settings/FormPrgManView.h"
#include "settings/resource.h"

namespace {

constexpr int kBarWidth = 100;
constexpr int kFrameWidth = 640;
constexpr int kFrameHeight = 480;
constexpr UINT kBarId = 1;
constexpr UINT kPaneId = 0xE900;  // the right pane's id; a hidden view carries -1
constexpr UINT kMsgShowBackupView = common::kMsgShowBackupView;
constexpr UINT kMsgShowHelpView = common::kMsgShowHelpView;
constexpr int kBackupView = 2;
constexpr int kHelpView = 4;
constexpr const wchar_t* kBarItems[CMainFrame::kViewCount] = {L"일반 설정", L"프로그램 관리", L"백업 설정",
                                                              L"기타 옵션", L"도움말"};

}  // namespace

CMainFrame::CMainFrame(HINSTANCE instance, SettingsContext& context, platform::ModelessDialogs& dialogs)
    : m_instance(instance), m_context(context), m_dialogs(dialogs) {}

bool CMainFrame::Create() {
    platform::FrameClass frameClass;
    frameClass.className = platform::WideCStr(common::kSettingsClass);
    frameClass.iconId = IDR_MAINFRAME;
    frameClass.classStyle = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    RECT rect = {CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + kFrameWidth, CW_USEDEFAULT + kFrameHeight};
    const DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_MAXIMIZEBOX | WS_THICKFRAME);
    if (!CreateFrame(m_instance, frameClass, L"", style, 0, &rect)) {
        return false;
    }
    ::SetMenu(hwnd(), ::LoadMenuW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME)));
    ::MoveWindow(hwnd(), 100, 100, kFrameWidth, kFrameHeight, FALSE);
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
    int parts[] = {380, 460, 540, -1};
    ::SendMessageW(m_status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(parts));
    ::SendMessageW(m_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"CAP"));
    ::SendMessageW(m_status, SB_SETTEXTW, 2, reinterpret_cast<LPARAM>(L"NUM"));
    ::SendMessageW(m_status, SB_SETTEXTW, 3, reinterpret_cast<LPARAM>(L"SCRL"));
    m_bar = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                              WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
                              hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kBarId)), m_instance, nullptr);
    ::SendMessageW(m_bar, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ::SendMessageW(m_bar, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"[제어판]"));
    for (const wchar_t* item : kBarItems) {
        ::SendMessageW(m_bar, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
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
    RECT status = {};
    ::GetWindowRect(m_status, &status);
    return RECT{kBarWidth, 0, client.right, client.bottom - (status.bottom - status.top)};
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
    ::SendMessageW(m_bar, LB_SETCURSEL, static_cast<WPARAM>(index + 1), 0);
}

LRESULT CMainFrame::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgShowBackupView:
            ShowView(kBackupView);
            return 0;
        case kMsgShowHelpView:
            ShowView(kHelpView);
            return 0;
        case WM_SIZE: {
            ::SendMessageW(m_status, WM_SIZE, 0, 0);
            RECT pane = PaneRect();
            ::MoveWindow(m_bar, 0, 0, kBarWidth, pane.bottom, TRUE);
            if (m_current >= 0) {
                ::MoveWindow(m_views[m_current]->hwnd(), pane.left, pane.top, pane.right - pane.left,
                             pane.bottom - pane.top, TRUE);
            }
            return 0;
        }
        default:
            break;
    }
    return FrameWindow::WndProc(message, wParam, lParam);
}

bool CMainFrame::OnCommand(UINT id, UINT code, HWND control) {
    if (control == m_bar && code == LBN_SELCHANGE) {
        int item = static_cast<int>(::SendMessageW(m_bar, LB_GETCURSEL, 0, 0));
        // The folder line only names the group.
        if (item >= 1) {
            hwnd().Post(WM_COMMAND, ID_VIEW_GENERAL + item - 1, 0);
        } else {
            ::SendMessageW(m_bar, LB_SETCURSEL, static_cast<WPARAM>(m_current + 1), 0);
        }
        return true;
    }
    if (id >= ID_VIEW_GENERAL && id < ID_VIEW_GENERAL + kViewCount) {
        ShowView(static_cast<int>(id - ID_VIEW_GENERAL));
        return true;
    }
    switch (id) {
        case ID_APP_EXIT:
            hwnd().Destroy();
            return true;
        case ID_APP_ABOUT: {
            // Static text and one button: the base's OK and Cancel handling is all the box needs.
            platform::DialogBase about;
            about.DoModal(m_instance, IDD_ABOUTBOX, hwnd());
            return true;
        }
        default:
            // The other menu entries belong to a document the program does not have; they do nothing.
            return id >= ID_FILE_NEW;
    }
}

void CMainFrame::OnDestroy() {
    ::PostQuitMessage(0);
}
