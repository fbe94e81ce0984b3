// The views without settings of their own: backup (no backup exists in the suite, so its controls are off) and
// help (a description and the version of the installed suite).
#pragma once

#include "settings/SettingsView.h"

class CFormBackupView final : public CSettingsView {
public:
    explicit CFormBackupView(SettingsContext& context);
};

class CFormHelpView final : public CSettingsView {
public:
    explicit CFormHelpView(SettingsContext& context);

protected:
    void OnFirstShowing() override;
};
