// Where the store window's three caption buttons lie: one system caption button wide each, at the right end of the
// caption, close rightmost. Portable arithmetic, shared by painting and hit-testing.
#pragma once

namespace common {

// Button numbers as the window acts on them.
enum class CaptionButton : int { None = 0, Close = 1, Minimise = 2, Home = 3 };
inline constexpr int kCaptionButtonCount = 3;

// The system's sizes the rectangles come from (GetSystemMetrics on Windows).
struct CaptionMetrics {
    int buttonWidth = 0;    // SM_CXSIZE
    int buttonHeight = 0;   // SM_CYSIZE
    int captionHeight = 0;  // SM_CYCAPTION
    int frameHeight = 0;    // SM_CYFRAME
};

struct CaptionRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// Button `number` (1..3) of a window `windowWidth` pixels wide, in window coordinates, kept inside a caption
// band `bandHeight` pixels high. Button n's right edge lies 6 pixels plus n - 1 button widths left of the
// window's right edge.
CaptionRect CaptionButtonRect(int windowWidth, int bandHeight, const CaptionMetrics& metrics, int number);

// The button under a point in window coordinates; None when the point is on none of them.
CaptionButton CaptionButtonAt(int windowWidth, int bandHeight, const CaptionMetrics& metrics, int x, int y);

}  // namespace common
