// The settings program's views: their common buttons.
#include "settings/SettingsView.h"

namespace {
// Save, OK and Close, in pixels, on every view.
constexpr int kButtonY = 400;
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 20;
constexpr int kSaveX = 300;
constexpr int kOkX = 350;
constexpr int kCloseX = 400;
}  // namespace

CSettingsView::CSettingsView(SettingsContext& context, UINT templateId, int saveButtonId)
    : m_context(context), m_templateId(templateId), m_saveButtonId(saveButtonId) {}

void CSettingsView::OnInitialUpdate(int showCount) {
    if (showCount > 1) {
        OnLaterShowing();
        return;
    }
    ::MoveWindow(Item(m_saveButtonId), kSaveX, kButtonY, kButtonWidth, kButtonHeight, TRUE);
    ::MoveWindow(Item(IDOK), kOkX, kButtonY, kButtonWidth, kButtonHeight, TRUE);
    ::MoveWindow(Item(IDCANCEL), kCloseX, kButtonY, kButtonWidth, kButtonHeight, TRUE);
    OnFirstShowing();
}

bool CSettingsView::OnCommand(UINT id, UINT code, HWND control) {
    if (static_cast<int>(id) == m_saveButtonId && code == BN_CLICKED) {
        OnSave();
        return true;
    }
    return FormView::OnCommand(id, code, control);
}

void CSettingsView::OnCancel() {
    // Close: nothing is asked and nothing saved.
    ::PostQuitMessage(0);
}
