// One menu button or package on screen: its icon, its button and the state it shows (badge, progress, missing).
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/layout/LayoutPoints.h"
#include "common/model/PageGrid.h"
#include "common/widgets/Control.h"
#include "launcher/controls/GButton.h"
#include "launcher/controls/GPicture.h"

class CSkin;

// Built from a grid item and kept as long as the item's serial lives, so that icons are extracted once. As a
// control it is its button: hit where the button is, disabled with it, and painted at its slot (shifted by the
// context's offset) in the context's font. UI thread only.
class CPackageItem : public common::Control {
public:
    static constexpr COLORREF kCaptionColour = RGB(0x6E, 0x74, 0x79);

    // isMenu: a main-menu button (its TYPE's bitmap, caption offset 9) rather than a package (shell icon,
    // caption offset 2, disabled image 216).
    CPackageItem(const common::GridItem& item, bool isMenu, CSkin& skin, HWND owner);
    CPackageItem(const CPackageItem&) = delete;
    CPackageItem& operator=(const CPackageItem&) = delete;

    uint32_t Serial() const { return m_serial; }
    // Takes the item's caption, state and, when the grid asks for it, a fresh icon. Returns true when it looked
    // for an icon (the caller then tells the grid). A new item has taken its icon in the constructor.
    bool Sync(const common::GridItem& item);
    // Draws the button and the state overlays at (x, y) of target.
    void Draw(GPicture& target, int x, int y, HFONT font);
    GButton& Button() { return m_button; }
    void SetSlot(common::Point at) { m_slot = at; }

    common::PixelRect Bounds() const override { return m_button.Bounds(); }
    bool IsSolidAt(int x, int y) override { return m_button.IsSolidAt(x, y); }
    bool IsEnabled() const override { return m_button.IsEnabled(); }
    void Paint(common::PaintContext& context) override;
    void OnMouseDown(int x, int y) override { m_button.OnMouseDown(x, y); }
    void OnMouseUp(int x, int y, bool isClick) override { m_button.OnMouseUp(x, y, isClick); }

private:
    void TakeIcon(const common::GridItem& item);
    void ApplyState(const common::GridItem& item);
    void CreateButton();

    CSkin& m_skin;
    HWND m_owner;
    bool m_isMenu;
    uint32_t m_serial;
    int32_t m_updateFlag = 0;
    int32_t m_progress = 0;
    std::wstring m_caption;
    GPicture m_shellIcon;
    GPicture* m_icon = nullptr;  // m_shellIcon or a skin picture
    GButton m_button;
    common::Point m_slot;
};
