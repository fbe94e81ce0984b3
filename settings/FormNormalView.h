// The general view: language and skin, the launcher's background picture, and the launcher's options.
#pragma once

#include "settings/SettingsView.h"

class CFormNormalView final : public CSettingsView {
public:
    explicit CFormNormalView(SettingsContext& context);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFirstShowing() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnSave() override;
    void OnOK() override;

private:
    void ChooseBackImage();
    bool Save();
    void TellLauncherOfBackImage();
    void PreviewTransparency(int position);

    bool m_isBackImageChanged = false;  // stays set for the rest of the run once a save saw a change
};
