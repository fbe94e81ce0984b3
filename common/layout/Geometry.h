// Points and rectangles of the launcher's self-drawn window, in pixels.
#pragma once

namespace common {

struct Point {
    int x = 0;
    int y = 0;

    friend bool operator==(Point a, Point b) { return a.x == b.x && a.y == b.y; }
    friend bool operator!=(Point a, Point b) { return !(a == b); }
};

// right and bottom are x + width and y + height. The launcher's hit tests count them as inside ("edges
// included"), so a w-pixel-wide thing is hit on w + 1 columns; Contains follows that convention.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static Rect FromSize(int x, int y, int width, int height) { return Rect{x, y, x + width, y + height}; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
};

}  // namespace common
