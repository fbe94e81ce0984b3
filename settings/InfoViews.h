// The views without settings of their own: backup (no backup exists in the suite, so its controls are off),
// help (a description and the version of the installed suite), and program management, whose editing lives in
// the launcher for now (its items' context menus).
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

class CFormPrgManView final : public CSettingsView {
public:
    explicit CFormPrgManView(SettingsContext& context);

protected:
    // Nothing to save here: OK closes like Close.
    void OnOK() override { ::PostQuitMessage(0); }
};
