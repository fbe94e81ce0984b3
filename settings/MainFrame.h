// The settings program's window: a bar of five items on the left, and on the right the view the user chose.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "platform/framework/FrameWindow.h"
#include "platform/framework/ModelessDialogs.h"
#include "settings/OutlookBar.h"
#include "settings/SettingsContext.h"
#include "settings/SettingsView.h"

// How it works: the five views are created once, the first in the right pane and the others hidden and sized to
// nothing; choosing a view swaps the pane between them, keeping unsaved changes in each. The bar's items send the
// five view commands; the agent may also ask for the backup and help views by message. The pane is what the bar
// and the status bar (which the View menu hides and shows) leave of the client area, and the shown view always
// fills it. Sizes follow the screen's DPI.
//
// UI thread only. The object must outlive its window.
class CMainFrame final : public platform::FrameWindow {
public:
    static constexpr int kViewCount = 5;

    CMainFrame(HINSTANCE instance, SettingsContext& context, platform::ModelessDialogs& dialogs);

    bool Create();
    // Shows view `index` (0 general .. 4 help); nothing when it is already shown or out of range.
    void ShowView(int index);
    int CurrentView() const { return m_current; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCreate(const CREATESTRUCTW& create) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnDestroy() override;

private:
    RECT PaneRect() const;
    void OnSize();
    void OnInitMenuPopup(HMENU menu);
    void ToggleStatusBar();
    bool IsStatusBarShown() const;
    int Scale(int pixels) const;

    HINSTANCE m_instance;
    SettingsContext& m_context;
    platform::ModelessDialogs& m_dialogs;
    COutlookBar m_bar;
    HWND m_status = nullptr;
    int m_dpi = 96;
    std::array<std::unique_ptr<CSettingsView>, kViewCount> m_views;
    int m_current = -1;
};
