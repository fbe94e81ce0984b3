// The status window the agent shows while it starts: a picture and one line naming the current step.
#pragma once

#include <windows.h>

#include <string>

#include "platform/framework/DialogBase.h"
#include "platform/framework/ModelessDialogs.h"

// Dialog 103, modeless, owned by the main frame. Calling thread: the UI thread.
class CProgStatusDlg final : public platform::DialogBase {
public:
    bool Create(HINSTANCE instance, HWND owner, platform::ModelessDialogs* dialogs);
    // Sets the line and shows the window, painting it at once: start-up does not return to the loop between
    // steps, so the window would otherwise stay blank.
    void Report(const std::wstring& text);
    void Hide();

protected:
    bool OnInitDialog() override;
    // The window has no buttons; Esc or Enter must not end it halfway through start-up.
    void OnOK() override {}
    void OnCancel() override {}
};
