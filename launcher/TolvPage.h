// One page on screen: up to 16 items drawn into the page's own picture at their layout slots.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "common/layout/LayoutPoints.h"
#include "common/model/PageGrid.h"
#include "common/widgets/ControlHost.h"
#include "launcher/PackageItem.h"
#include "launcher/controls/GPicture.h"

class CSkin;

// Mirrors one GridPage; items are matched by serial so that their icons survive changes to the page.
// Coordinates given to the input calls are page-relative. UI thread only.
class CTolvPage {
public:
    CTolvPage(CSkin& skin, HWND owner);
    CTolvPage(const CTolvPage&) = delete;
    CTolvPage& operator=(const CTolvPage&) = delete;

    // Brings the items in line with the grid page; tells the grid about icons taken. Returns true when
    // anything visible may have changed.
    void Sync(common::CPageGrid& grid, size_t pageIndex);
    // Draws the items at their slots, shifted right by offsetX, keyed straight into target: the page area of
    // the frame, as a picture sharing the back buffer, which clips whatever slides out. This gives the same
    // frame as drawing into a black page picture and keying that in, at a fraction of the copying.
    void Draw(GPicture& target, int offsetX, const common::LayoutPoints& layout, HFONT font);

    // True when an item took the press (a disabled one takes it without effect).
    bool Press(int x, int y);
    // The pressed item hears the release; remembers the index of the item clicked, else -1.
    bool Release(int x, int y);
    int LastReleasedItem() const { return m_lastReleased; }
    // The item under the point without changing any state, or -1.
    int HitItem(int x, int y) const;

private:
    CSkin& m_skin;
    HWND m_owner;
    std::vector<std::unique_ptr<CPackageItem>> m_items;
    common::ControlHost m_host;  // the items that have a slot
    int m_lastReleased = -1;
};
