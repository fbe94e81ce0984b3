// Start-up status window.
#include "agent/ProgStatusDlg.h"

#include "agent/resource.h"

bool CProgStatusDlg::Create(HINSTANCE instance, HWND owner, platform::ModelessDialogs* dialogs) {
    return CreateModeless(instance, IDD_PROGSTATUS, owner, dialogs);
}

bool CProgStatusDlg::OnInitDialog() {
    RECT rect = {};
    hwnd().GetWindowRect(&rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    hwnd().SetPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return false;
}

void CProgStatusDlg::Report(const std::wstring& text) {
    if (!hwnd()) {
        return;
    }
    ::SetDlgItemTextW(hwnd(), IDC_STATUS_TEXT, text.c_str());
    hwnd().Show(SW_SHOW);
    hwnd().Update();
}

void CProgStatusDlg::Hide() {
    if (hwnd()) {
        hwnd().Show(SW_HIDE);
    }
}
