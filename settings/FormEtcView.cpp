// The other options view.
#include "settings/FormEtcView.h"

#include "common/ipc/Messages.h"
#include "common/settings/SettingsRules.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"
#include "settings/resource.h"

namespace {

constexpr wchar_t kInfoTitle[] = L"정보";
constexpr UINT kRefreshTimeoutMs = 15000;

struct HotKeyControls {
    common::HotKeyEntry common::SettingsRecord::*entry;
    int alt;
    int shift;
    int ctrl;
    int win;
    int key;
};
constexpr HotKeyControls kHotKeys[] = {
    {&common::SettingsRecord::launcherOpen, IDC_OPEN_ALT, IDC_OPEN_SHIFT, IDC_OPEN_CTRL, IDC_OPEN_WIN, IDC_OPEN_KEY},
    {&common::SettingsRecord::launcherHide, IDC_HIDE_ALT, IDC_HIDE_SHIFT, IDC_HIDE_CTRL, IDC_HIDE_WIN, IDC_HIDE_KEY},
    {&common::SettingsRecord::backup, IDC_BACKUP_ALT, IDC_BACKUP_SHIFT, IDC_BACKUP_CTRL, IDC_BACKUP_WIN,
     IDC_BACKUP_KEY},
    {&common::SettingsRecord::search, IDC_SEARCH_ALT, IDC_SEARCH_SHIFT, IDC_SEARCH_CTRL, IDC_SEARCH_WIN,
     IDC_SEARCH_KEY},
};

int32_t IsChecked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void Check(HWND dialog, int id, int32_t value) {
    ::CheckDlgButton(dialog, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

}  // namespace

CFormEtcView::CFormEtcView(SettingsContext& context) : CSettingsView(context, IDD_ETC_VIEW, IDC_ETC_SAVE) {}

void CFormEtcView::OnFirstShowing() {
    const common::SettingsRecord& record = m_context.record();
    for (const HotKeyControls& controls : kHotKeys) {
        const common::HotKeyEntry& entry = record.*controls.entry;
        wchar_t key[2] = {static_cast<wchar_t>(entry.key), L'\0'};
        ::SetDlgItemTextW(hwnd(), controls.key, key);
        ::SendDlgItemMessageW(hwnd(), controls.key, EM_LIMITTEXT, 1, 0);
        Check(hwnd(), controls.alt, entry.alt);
        Check(hwnd(), controls.shift, entry.shift);
        Check(hwnd(), controls.ctrl, entry.ctrl);
        Check(hwnd(), controls.win, entry.win);
    }
}

bool CFormEtcView::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_REFRESH_LIST && code == BN_CLICKED) {
        RefreshList();
        return true;
    }
    return CSettingsView::OnCommand(id, code, control);
}

bool CFormEtcView::Save() {
    common::HotKeyEntry entries[std::size(kHotKeys)];
    for (size_t i = 0; i < std::size(kHotKeys); ++i) {
        const HotKeyControls& controls = kHotKeys[i];
        wchar_t text[8] = {};
        ::GetDlgItemTextW(hwnd(), controls.key, text, 8);
        std::optional<uint8_t> key = common::HotKeyFromBox(platform::FromWide(text));
        if (!key) {
            m_context.boxes().Show(hwnd(), L"숫자 또는 영문자만 입력가능 합니다.\n다시 입력하여 주십시오.", kInfoTitle,
                                   MB_OK);
            return false;  // nothing is stored, not even the boxes before this one
        }
        entries[i].key = *key;
        entries[i].alt = IsChecked(hwnd(), controls.alt);
        entries[i].shift = IsChecked(hwnd(), controls.shift);
        entries[i].ctrl = IsChecked(hwnd(), controls.ctrl);
        entries[i].win = IsChecked(hwnd(), controls.win);
    }
    for (size_t i = 0; i < std::size(kHotKeys); ++i) {
        m_context.record().*kHotKeys[i].entry = entries[i];
    }
    m_context.SaveAndNotify();
    return true;
}

void CFormEtcView::OnSave() {
    Save();
}

void CFormEtcView::OnOK() {
    if (Save()) {
        ::PostQuitMessage(0);
    }
}

void CFormEtcView::RefreshList() {
    HWND agent = platform::FindAgentWindow();
    DWORD_PTR reply = 0;
    const bool isDone = agent != nullptr &&
                        ::SendMessageTimeoutW(agent, common::kMsgEnvChanged, common::kEnvRecheckPrograms, 0,
                                              SMTO_ABORTIFHUNG, kRefreshTimeoutMs, &reply) != 0 &&
                        reply != 0;
    m_context.boxes().Show(hwnd(),
                           isDone ? L"리스트 새로 고침을 완료 하였습니다." : L"리스트 새로 고침이 실패하였습니다.",
                           kInfoTitle, MB_ICONINFORMATION | MB_TOPMOST);
}
