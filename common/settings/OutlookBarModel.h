// The settings program's bar of large items: where its header and items lie, which item the pointer is over,
// which one is shown, and what the mouse and the keyboard choose.
#pragma once

#include "common/layout/Geometry.h"

namespace common {

enum class BarKey { Up, Down, Home, End, Enter };

// What an input did to the bar.
struct BarInput {
    bool isRedrawn = false;  // the hover, press or focus changed: draw the bar again
    int chosen = -1;         // an item was chosen (click or Enter): show its view
};

// How it works: the header runs across the top, the items below it one under the other, each as high as the
// preferred height or, when the bar is too short for that, an equal share of what is left. Hit tests count
// right and bottom edges as outside, so neighbouring items never both claim a row. A click is a press and a
// release on the same item; a press dragged off chooses nothing. The keyboard moves a focus item with Up, Down,
// Home and End (no wrap) and Enter chooses it; showing a view moves the focus to its item too.
class OutlookBarModel {
public:
    // Sizes in pixels; itemCount at least 1.
    OutlookBarModel(int itemCount, int headerHeight, int preferredItemHeight);

    void Layout(int width, int height);
    Rect HeaderRect() const;
    Rect ItemRect(int index) const;
    // The item under a point, or -1.
    int HitTest(int x, int y) const;

    BarInput MouseMove(int x, int y);
    BarInput MouseLeave();
    BarInput Press(int x, int y);
    BarInput Release(int x, int y);
    BarInput Key(BarKey key);
    // The view shown now (-1: none); the focus follows it.
    void SetSelected(int index);

    int ItemCount() const { return m_itemCount; }
    int Hovered() const { return m_hovered; }
    int Pressed() const { return m_pressed; }
    int Selected() const { return m_selected; }
    int Focused() const { return m_focused; }

private:
    int ItemHeight() const;

    int m_itemCount;
    int m_headerHeight;
    int m_preferredItemHeight;
    int m_width = 0;
    int m_height = 0;
    int m_hovered = -1;
    int m_pressed = -1;
    int m_selected = -1;
    int m_focused = 0;
};

}  // namespace common
