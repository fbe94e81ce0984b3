// The other options view: the four global hot keys, and the refresh of the launcher's list.
#pragma once

#include "settings/SettingsView.h"

class CFormEtcView final : public CSettingsView {
public:
    explicit CFormEtcView(SettingsContext& context);

protected:
    void OnFirstShowing() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSave() override;
    void OnOK() override;

private:
    // False, after telling the user, when a box holds something other than a digit or a letter.
    bool Save();
    void RefreshList();
};
