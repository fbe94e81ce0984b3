// The general view.
#include "settings/FormNormalView.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "common/ipc/CopyData.h"
#include "common/ipc/Messages.h"
#include "common/settings/SettingsRules.h"
#include "common/text/TextUtil.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"
#include "platform/WindowText.h"
#include "settings/resource.h"

namespace {

constexpr size_t kPathUnits = 260;
constexpr wchar_t kLanguage[] = L"한글";
constexpr wchar_t kSkin[] = L"기본값";

struct CheckBinding {
    int id;
    int32_t common::SettingsRecord::*field;
};
constexpr CheckBinding kChecks[] = {
    {IDC_ALWAYS_ON_TOP, &common::SettingsRecord::alwaysOnTop},
    {IDC_AUTORUN, &common::SettingsRecord::autoRun},
    {IDC_UPDATE_CHECK, &common::SettingsRecord::updateCheck},
    {IDC_TRAY_MODE, &common::SettingsRecord::trayIconMode},
    {IDC_BACKUP_BUTTON, &common::SettingsRecord::addBackupBtn},
    {IDC_DOCUMENTS_BUTTON, &common::SettingsRecord::addDocumentBtn},
    {IDC_AUTO_LOGIN, &common::SettingsRecord::autoLogin},
};

}  // namespace

CFormNormalView::CFormNormalView(SettingsContext& context)
    : CSettingsView(context, IDD_GENERAL_VIEW, IDC_GENERAL_SAVE) {}

void CFormNormalView::OnFirstShowing() {
    ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLanguage));
    ::SendDlgItemMessageW(hwnd(), IDC_LANGUAGE, CB_SETCURSEL, 0, 0);
    ::SendDlgItemMessageW(hwnd(), IDC_SKIN, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kSkin));
    ::SendDlgItemMessageW(hwnd(), IDC_SKIN, CB_SETCURSEL, 0, 0);
    const common::SettingsRecord& record = m_context.record();
    for (const CheckBinding& check : kChecks) {
        ::CheckDlgButton(hwnd(), check.id, record.*check.field != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
    ::SetDlgItemTextW(hwnd(), IDC_BACKIMAGE, platform::ToWide(record.backImage.Get()).c_str());
    ::SendDlgItemMessageW(hwnd(), IDC_BACKIMAGE, EM_LIMITTEXT, kPathUnits - 1, 0);
    ::SendDlgItemMessageW(hwnd(), IDC_TRANSPARENCY, TBM_SETRANGE, TRUE, MAKELPARAM(0, 9));
}

INT_PTR CFormNormalView::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HSCROLL && reinterpret_cast<HWND>(lParam) == Item(IDC_TRANSPARENCY).get()) {
        PreviewTransparency(static_cast<int>(::SendDlgItemMessageW(hwnd(), IDC_TRANSPARENCY, TBM_GETPOS, 0, 0)));
        return TRUE;
    }
    return CSettingsView::DialogProc(message, wParam, lParam);
}

bool CFormNormalView::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_CHOOSE_BACKIMAGE && code == BN_CLICKED) {
        ChooseBackImage();
        return true;
    }
    return CSettingsView::OnCommand(id, code, control);
}

void CFormNormalView::ChooseBackImage() {
    wchar_t path[kPathUnits] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = hwnd();
    dialog.lpstrFilter = L"비트맵 파일(*.bmp)\0*.bmp\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = kPathUnits;
    dialog.Flags = OFN_HIDEREADONLY;
    if (!::GetOpenFileNameW(&dialog)) {
        return;
    }
    if (!common::IsAcceptableBackImage(platform::FromWide(path), platform::FromWide(m_context.suiteFolder()))) {
        m_context.boxes().Show(hwnd(), L"Kelvo와 동일한 드라이브 내에 있는 비트맵 파일만 등록 가능합니다.", L"정보",
                               MB_ICONINFORMATION | MB_TOPMOST);
        return;
    }
    ::SetDlgItemTextW(hwnd(), IDC_BACKIMAGE, path);
    m_isBackImageChanged = true;
}

bool CFormNormalView::Save() {
    common::SettingsRecord& record = m_context.record();
    for (const CheckBinding& check : kChecks) {
        record.*check.field = ::IsDlgButtonChecked(hwnd(), check.id) == BST_CHECKED ? 1 : 0;
    }
    record.language.Set(platform::FromWide(platform::WindowText(Item(IDC_LANGUAGE))));
    record.skin.Set(platform::FromWide(platform::WindowText(Item(IDC_SKIN))));
    const std::u16string path = platform::FromWide(platform::WindowText(Item(IDC_BACKIMAGE)));
    if (!common::EqualsIgnoreCase(path, record.backImage.Get())) {
        m_isBackImageChanged = true;
    }
    record.backImage.Set(path);
    bool isSaved = m_context.SaveAndNotify();
    if (m_isBackImageChanged) {
        TellLauncherOfBackImage();
    }
    return isSaved;
}

void CFormNormalView::OnSave() {
    Save();
}

void CFormNormalView::OnOK() {
    Save();
    ::PostQuitMessage(0);
}

void CFormNormalView::TellLauncherOfBackImage() {
    HWND launcher = platform::FindLauncherWindow();
    if (launcher == nullptr) {
        return;
    }
    const std::u16string path = m_context.record().backImage.Get();
    // The whole 260-unit buffer goes, terminated, as the launcher reads it.
    wchar_t buffer[kPathUnits] = {};
    path.copy(reinterpret_cast<char16_t*>(buffer), kPathUnits - 1);
    COPYDATASTRUCT data = {};
    data.dwData =
        static_cast<ULONG_PTR>(path.empty() ? common::CopyDataKind::BackImageOff : common::CopyDataKind::BackImageOn);
    data.cbData = path.empty() ? 0 : static_cast<DWORD>(sizeof(buffer));
    data.lpData = path.empty() ? nullptr : buffer;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(launcher, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &result);
}

void CFormNormalView::PreviewTransparency(int position) {
    HWND launcher = platform::FindLauncherWindow();
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using SetLayered = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    // Looked up at each use: a system without it shows no preview.
    FARPROC found = user32 != nullptr ? ::GetProcAddress(user32, "SetLayeredWindowAttributes") : nullptr;
    SetLayered setLayered = nullptr;
    static_assert(sizeof(setLayered) == sizeof(found));
    std::memcpy(&setLayered, &found, sizeof(found));
    if (launcher != nullptr && setLayered != nullptr) {
        setLayered(launcher, 0, common::PreviewAlpha(position), LWA_ALPHA);
    }
}
