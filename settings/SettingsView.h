// The base of the settings program's five views: a form on a dialog template whose Save, OK and Close buttons
// sit in the same places on every view, the pane's bottom right corner, and whose Close ends the program at once.
#pragma once

#include <windows.h>

#include "platform/framework/FormView.h"
#include "settings/SettingsContext.h"

class CSettingsView : public platform::FormView {
public:
    CSettingsView(SettingsContext& context, UINT templateId, int saveButtonId);

    UINT TemplateId() const { return m_templateId; }

protected:
    // The first showing places the buttons and calls OnFirstShowing; later showings do nothing unless a view
    // overrides OnLaterShowing.
    void OnInitialUpdate(int showCount) override;
    // The buttons follow the pane: the frame sizes the view to it.
    void OnSize(int width, int height) override;
    virtual void OnFirstShowing() {}
    virtual void OnLaterShowing() {}
    bool OnCommand(UINT id, UINT code, HWND control) override;
    // Save and OK do nothing unless a view says otherwise.
    virtual void OnSave() {}
    void OnOK() override {}
    void OnCancel() override;

    SettingsContext& m_context;

private:
    void PlaceButtons(int width, int height);

    UINT m_templateId;
    int m_saveButtonId;
};
