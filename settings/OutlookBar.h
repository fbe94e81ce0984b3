// The settings program's bar: a header and five large items with their icons, drawn by the program itself.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <array>

#include "common/settings/OutlookBarModel.h"
#include "platform/UniqueHandle.h"
#include "platform/WindowBase.h"

// One item: the command it sends its parent, its caption and its icon bitmap (48 by 48, magenta transparent).
struct OutlookBarItem {
    UINT commandId;
    const wchar_t* caption;
    UINT bitmapId;
};

// How it works: a child window that draws itself into a back buffer. A click on an item, or Enter on the focus
// item, posts WM_COMMAND with the item's command id (control 0, code 0, as a menu entry would) to the parent,
// which shows the view and calls SetSelected. Up, Down, Home and End move the focus item; the pointer lights the
// item under it. Sizes follow the screen's DPI.
//
// UI thread only; the object must outlive its window.
class COutlookBar final : public platform::WindowBase {
public:
    static constexpr int kItemCount = 5;

    COutlookBar(const wchar_t* header, const std::array<OutlookBarItem, kItemCount>& items);
    ~COutlookBar() override;

    bool Create(HINSTANCE instance, HWND parent, UINT id);
    // The item of the view shown now (-1: none).
    void SetSelected(int index);
    int Selected() const { return m_model.Selected(); }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnPaint();
    void OnSize(int width, int height);
    void OnMouseMove(int x, int y);
    void OnMouseLeave();
    void OnButtonDown(int x, int y);
    void OnButtonUp(int x, int y);
    bool OnKeyDown(UINT key);
    void Apply(const common::BarInput& input);
    void Draw(HDC dc, const RECT& client) const;
    void DrawItem(HDC dc, int index) const;

    const wchar_t* m_header;
    std::array<OutlookBarItem, kItemCount> m_items;
    HIMAGELIST m_icons = nullptr;  // owned; item i is image i
    platform::UniqueFont m_font;
    platform::UniqueFont m_headerFont;
    common::OutlookBarModel m_model;
    int m_dpi = 96;
    bool m_isTrackingLeave = false;
};
