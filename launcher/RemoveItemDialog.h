// The question before a store package is removed: the whole program folder, or only the launcher's link.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/DialogBase.h"

class CRemoveItemDialog : public platform::DialogBase {
public:
    enum Result : INT_PTR { kCancelled = 0, kFullRemoval = 1, kLinkOnly = 2 };

    // `caption` fills the dialog's text; `launcher` is the window the dialog sits beside.
    CRemoveItemDialog(std::wstring caption, HWND launcher);

    // Modal; one of Result.
    INT_PTR Ask(HINSTANCE instance);

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override { EndModal(kCancelled); }

private:
    void PlaceBesideLauncher();

    std::wstring m_caption;
    HWND m_launcher;
};
