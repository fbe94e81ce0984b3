// The help view.
#include "settings/FormHelpView.h"

#include "common/ipc/SuiteNames.h"
#include "common/update/SuiteUpdate.h"
#include "platform/FileStoreWin.h"
#include "platform/WideText.h"
#include "settings/resource.h"

CFormHelpView::CFormHelpView(SettingsContext& context) : CSettingsView(context, IDD_HELP_VIEW, IDC_HELP_SAVE) {}

void CFormHelpView::OnFirstShowing() {
    ::ShowWindow(Item(IDC_HELP_SAVE), SW_HIDE);
    // The version of the suite's files, as the updater's profile records it.
    platform::FileStoreWin store;
    std::optional<std::vector<uint8_t>> bytes =
        store.ReadAll(platform::FromWide(m_context.SuiteFile(common::kProfileFile)));
    common::SuiteUpdateProfile profile;
    std::u16string version;
    if (bytes && common::ReadSuiteUpdateProfile(*bytes, profile) == common::SuiteProfileError::None) {
        version = profile.version;
    }
    if (version.empty()) {
        version = u"1.0";
    }
    ::SetDlgItemTextW(hwnd(), IDC_HELP_VERSION, (L"* 제품 버젼 : " + platform::ToWide(version)).c_str());
}
