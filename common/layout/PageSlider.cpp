// The press, move, release and step rules of window dragging and page swiping.
#include "common/layout/PageSlider.h"

#include <cstdlib>

namespace common {

PageSlider::PageSlider(int dragBandHeight, const Rect& pageArea)
    : m_dragBandHeight(dragBandHeight), m_pageArea(pageArea) {}

int PageSlider::MoveCoordinate(int coordinate) {
    return (static_cast<uint16_t>(coordinate) & 0xF000) != 0 ? 0 : coordinate;
}

bool PageSlider::IsClick(Point press, Point release, Point dragSize) {
    // In 64 bits: coordinates from a message may lie far apart.
    auto within = [](int from, int to, int limit) {
        int64_t distance = static_cast<int64_t>(to) - from;
        return (distance < 0 ? -distance : distance) <= limit;
    };
    return within(press.x, release.x, dragSize.x) && within(press.y, release.y, dragSize.y);
}

SlideActions PageSlider::Press(int x, int y) {
    SlideActions actions;
    bool isInBand = x >= kDragBandLeft && x <= kDragBandRight && y > 0 && y < m_dragBandHeight;
    if (!isInBand && !m_pageArea.Contains(x, y)) {
        return actions;
    }
    // A swipe press also clears the drag flag: after a lost capture (no button-up ever came) the flag would
    // otherwise turn the swipe into a window drag.
    m_isDraggingWindow = isInBand;
    m_isPressed = true;
    m_start = Point{x, y};
    m_offset = 0;
    m_mode = SlideMode::Idle;
    actions.taken = true;
    actions.captureMouse = true;
    return actions;
}

SlideActions PageSlider::Move(int rawX, int rawY) {
    if (!m_isPressed) {
        return SlideActions{};
    }
    int x = MoveCoordinate(rawX);
    int y = MoveCoordinate(rawY);
    return m_isDraggingWindow ? MoveWindow(x, y) : MoveSwipe(x, y);
}

SlideActions PageSlider::MoveWindow(int x, int y) {
    SlideActions actions;
    m_offset = x - m_start.x;
    actions.moveWindowBy = Point{x - m_start.x, y - m_start.y};
    return actions;
}

SlideActions PageSlider::MoveSwipe(int x, int y) {
    SlideActions actions;
    actions.repaint = true;
    if (x == m_start.x) {
        return actions;
    }
    // x is never negative here (MoveCoordinate); a pointer left of the window arrives as 0 and ends the swipe at
    // the window's edge like one past the page area's right.
    if (x > 0 && x < m_pageArea.right) {
        m_offset = x - m_start.x;
    } else {
        actions.postButtonUp = Point{x, y};
    }
    return actions;
}

SlideActions PageSlider::Release(int x, int /*y*/, PagePosition pages) {
    SlideActions actions;
    m_isDraggingWindow = false;
    if (!m_isPressed) {
        actions.testIndicators = true;
        return actions;
    }
    m_isPressed = false;
    actions.releaseMouse = true;
    m_mode = ChooseMode(x - m_start.x, pages);
    m_start = Point{};
    return actions;
}

SlideMode PageSlider::ChooseMode(int distance, PagePosition pages) const {
    if (distance == 0) {
        return SlideMode::Idle;
    }
    // "At least half the width", without the rounding of an integer half.
    bool isFarEnough = 2 * std::abs(distance) >= m_pageArea.Width();
    if (distance < 0) {
        bool hasNext = pages.current + 1 < pages.count;
        return hasNext && isFarEnough ? SlideMode::ToNext : SlideMode::Back;
    }
    bool hasPrevious = pages.current > 0 && pages.count > 0;
    return hasPrevious && isFarEnough ? SlideMode::ToPrevious : SlideMode::Back;
}

SlideActions PageSlider::Step() {
    SlideActions actions;
    int right = m_pageArea.right;
    switch (m_mode) {
        case SlideMode::Idle:
            return actions;
        case SlideMode::ToNext:
            if (m_offset + right > 0) {
                m_offset -= kStepPixels;
            } else {
                actions.pageStep = 1;
                m_mode = SlideMode::Idle;
            }
            break;
        case SlideMode::ToPrevious:
            if (m_offset < right) {
                m_offset += kStepPixels;
            } else {
                actions.pageStep = -1;
                m_mode = SlideMode::Idle;
            }
            break;
        case SlideMode::Back:
            // Near home the offset snaps to 0; the snap zone is measured from the page area's x. For any x >= 0
            // the slide still ends exactly at 0: a negative offset steps up by 10 until it lands below +10,
            // which always snaps.
            if (m_offset < 0) {
                m_offset = m_offset > m_pageArea.left - kStepPixels ? 0 : m_offset + kStepPixels;
            } else {
                m_offset = m_offset < m_pageArea.left + kStepPixels ? 0 : m_offset - kStepPixels;
            }
            if (m_offset == 0) {
                m_mode = SlideMode::Idle;
            }
            break;
    }
    actions.repaint = true;
    return actions;
}

int PageSlider::StripOffset() const {
    return m_isPressed || m_mode != SlideMode::Idle ? m_offset : 0;
}

}  // namespace common
