// The removal question of a store package.
#include "launcher/RemoveItemDialog.h"

#include "launcher/resource.h"

namespace {
constexpr int kTextUnits = 1024;
}  // namespace

CRemoveItemDialog::CRemoveItemDialog(std::wstring caption, HWND launcher)
    : m_caption(std::move(caption)), m_launcher(launcher) {}

INT_PTR CRemoveItemDialog::Ask(HINSTANCE instance) {
    INT_PTR result = DoModal(instance, IDD_REMOVE_ITEM, m_launcher);
    return result < 0 ? kCancelled : result;
}

bool CRemoveItemDialog::OnInitDialog() {
    PlaceBesideLauncher();
    wchar_t format[kTextUnits] = {};
    ::GetDlgItemTextW(hwnd(), IDC_REMOVE_TEXT, format, kTextUnits);
    // The template's "%s" takes the caption; the text is built here rather than by wsprintf, which stops at
    // 1024 characters and would take a "%" in a caption as a second format.
    std::wstring text = format;
    size_t slot = text.find(L"%s");
    if (slot != std::wstring::npos) {
        text.replace(slot, 2, m_caption);
    }
    ::SetDlgItemTextW(hwnd(), IDC_REMOVE_TEXT, text.c_str());
    ::CheckRadioButton(hwnd(), IDC_REMOVE_FULL, IDC_REMOVE_LINK_ONLY, IDC_REMOVE_FULL);
    return true;
}

void CRemoveItemDialog::PlaceBesideLauncher() {
    RECT launcher = {};
    RECT dialog = {};
    if (!::GetWindowRect(m_launcher, &launcher) || !::GetWindowRect(hwnd(), &dialog)) {
        return;
    }
    int height = dialog.bottom - dialog.top;
    int top = (launcher.top + launcher.bottom) / 2 - height / 2;
    ::SetWindowPos(hwnd(), HWND_TOPMOST, launcher.left, top, 0, 0, SWP_NOSIZE);
}

void CRemoveItemDialog::OnOK() {
    EndModal(::IsDlgButtonChecked(hwnd(), IDC_REMOVE_FULL) == BST_CHECKED ? kFullRemoval : kLinkOnly);
}
