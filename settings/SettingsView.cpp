// The settings program's views: their common buttons.
#include "settings/SettingsView.h"

namespace {
// Save, OK and Close, in dialog units, so they grow with the dialog font and the DPI as the template does.
constexpr int kButtonWidth = 40;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kMargin = 7;
}  // namespace

CSettingsView::CSettingsView(SettingsContext& context, UINT templateId, int saveButtonId)
    : m_context(context), m_templateId(templateId), m_saveButtonId(saveButtonId) {}

void CSettingsView::OnInitialUpdate(int showCount) {
    if (showCount > 1) {
        OnLaterShowing();
        return;
    }
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    PlaceButtons(client.right, client.bottom);
    OnFirstShowing();
}

void CSettingsView::OnSize(int width, int height) {
    if (ShowCount() > 0) {
        PlaceButtons(width, height);
    }
}

void CSettingsView::PlaceButtons(int width, int height) {
    RECT units = {kButtonWidth, kButtonHeight, kButtonGap, kMargin};
    ::MapDialogRect(hwnd(), &units);
    const int buttonWidth = units.left;
    const int buttonHeight = units.top;
    const int gap = units.right;
    const int margin = units.bottom;
    const int top = height - margin - buttonHeight;
    const int ids[] = {m_saveButtonId, IDOK, IDCANCEL};
    int left = width - margin - 3 * buttonWidth - 2 * gap;
    for (int id : ids) {
        ::MoveWindow(Item(id), left, top, buttonWidth, buttonHeight, TRUE);
        left += buttonWidth + gap;
    }
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
