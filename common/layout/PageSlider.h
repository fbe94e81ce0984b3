// Dragging the borderless launcher window by its top band, and paging by swiping with the slide animation.
#pragma once

#include <cstdint>
#include <optional>

#include "common/layout/Geometry.h"

namespace common {

// How it works: the window procedure forwards left-button presses (after the menu, home and exit buttons
// declined them), moves and releases; the message loop calls Step() once per turn while IsSliding(). Each call
// returns what the window must do, and the window does it in the order of the fields below. A press in the
// drag band drags the window; a press in the page area starts a swipe whose horizontal distance becomes the
// strip offset. On release the swipe either slides on to a neighbouring page (far enough, and there is one) or
// slides back, 10 pixels per step; the page change itself is reported as pageStep when the strip has left the
// area, and the caller makes the neighbour current.

enum class SlideMode {
    Idle = 0,
    ToNext = 1,
    ToPrevious = 2,
    Back = 3,
};

// Where the current page stands among the pages; given at release, when the slide target is chosen.
struct PagePosition {
    int current = 0;
    int count = 0;
};

struct SlideActions {
    bool taken = false;         // Press only: the press started a window drag or a swipe
    bool captureMouse = false;  // SetCapture
    bool releaseMouse = false;  // ReleaseCapture
    // Move the window by this much from the window rectangle last read (MoveWindow with repaint), then read
    // the rectangle again.
    std::optional<Point> moveWindowBy;
    // Post WM_LBUTTONUP with this point: the swipe left the page area and ends as if released there.
    std::optional<Point> postButtonUp;
    // Release without a preceding press: hit-test the drawn page indicators (PageIndicator.h).
    bool testIndicators = false;
    int pageStep = 0;  // +1: the next page becomes current; -1: the previous one
    bool repaint = false;
};

class PageSlider {
public:
    static constexpr int kStepPixels = 10;
    // Presses count as in the drag band from this x to kDragBandRight, both included.
    static constexpr int kDragBandLeft = 1;
    static constexpr int kDragBandRight = 326;

    // dragBandHeight and pageArea as LayoutPoints gives them.
    PageSlider(int dragBandHeight, const Rect& pageArea);

    // Window coordinates of a press that no button took.
    SlideActions Press(int x, int y);
    // Window coordinates of a mouse move as signed values (GET_X_LPARAM). A negative coordinate (the pointer left
    // the window while captured) counts as 0, and so does one of 4096 or more, whose 16-bit word shares the bits
    // 0xF000 with the negative ones.
    SlideActions Move(int x, int y);
    // Window coordinates of the release as signed values (GET_X_LPARAM).
    SlideActions Release(int x, int y, PagePosition pages);
    // One animation step; nothing to do while idle.
    SlideActions Step();

    // The horizontal offset of the page strip to paint with: the current offset while pressed or sliding, else 0.
    int StripOffset() const;
    // Painting is skipped while the window is being dragged.
    bool IsDraggingWindow() const { return m_isDraggingWindow; }
    bool IsSliding() const { return m_mode != SlideMode::Idle; }
    SlideMode Mode() const { return m_mode; }

    static int MoveCoordinate(int coordinate);
    // Whether a release at `release` after a press at `press` is a click on the pressed item: true while it lies
    // within the user's drag distance (SM_CXDRAG wide, SM_CYDRAG high) of the press on both axes, both included.
    // Further on either axis the press was a swipe or a drag, and it runs nothing.
    static bool IsClick(Point press, Point release, Point dragSize);

private:
    SlideActions MoveWindow(int x, int y);
    SlideActions MoveSwipe(int x, int y);
    SlideMode ChooseMode(int distance, PagePosition pages) const;

    int m_dragBandHeight;
    Rect m_pageArea;
    bool m_isPressed = false;
    bool m_isDraggingWindow = false;
    Point m_start;
    int m_offset = 0;
    SlideMode m_mode = SlideMode::Idle;
};

}  // namespace common
