// The updater's start: no check wanted, the agent starts at once; otherwise the dialog runs first.
#include "updater/KelvoUpApp.h"

#include <commctrl.h>

#include "common/config/StoreHosts.h"
#include "common/install/StagingLayout.h"
#include "common/ipc/SuiteNames.h"
#include "common/settings/SettingsFile.h"
#include "common/xml/XmlDocument.h"
#include "platform/FileStoreWin.h"
#include "platform/WideText.h"
#include "updater/KelvoUpDlg.h"
#include "updater/SuiteUpdater.h"

CKelvoUpApp::CKelvoUpApp(HINSTANCE instance) : App(instance, platform::WideCStr(common::kUpdaterTitle)) {}

int CKelvoUpApp::ReadUpdateCheck() const {
    platform::FileStoreWin store;
    common::CXmlDocument document;
    if (!document.Load(store, platform::FromWide(ModuleFile(platform::WideCStr(common::kSettingsFile))))) {
        return 0;
    }
    return common::ReadUpdateCheck(document);
}

bool CKelvoUpApp::InitInstance(int /*showCommand*/) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    if (ReadUpdateCheck() == 0) {
        StartSuiteAgent(moduleFolder(), boxes());
        return false;
    }
    // Staged on the suite's own drive, so that the files go into place by renames.
    const std::wstring staging =
        ModuleFile(platform::WideCStr(common::kStagingFolder)) + L"\\" + platform::WideCStr(common::kSuiteUpdateJob);
    CKelvoUpDlg dialog(moduleFolder(), staging, platform::ToWide(common::kStoreFtpHost), boxes());
    dialog.Run(instance());
    return false;
}
