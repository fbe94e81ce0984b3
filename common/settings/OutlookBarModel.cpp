// The settings bar's layout and input state.
#include "common/settings/OutlookBarModel.h"

#include <algorithm>

namespace common {

OutlookBarModel::OutlookBarModel(int itemCount, int headerHeight, int preferredItemHeight)
    : m_itemCount(std::max(1, itemCount)),
      m_headerHeight(std::max(0, headerHeight)),
      m_preferredItemHeight(std::max(1, preferredItemHeight)) {}

void OutlookBarModel::Layout(int width, int height) {
    m_width = std::max(0, width);
    m_height = std::max(0, height);
}

int OutlookBarModel::ItemHeight() const {
    const int share = std::max(0, m_height - m_headerHeight) / m_itemCount;
    return std::min(m_preferredItemHeight, share);
}

Rect OutlookBarModel::HeaderRect() const {
    return Rect::FromSize(0, 0, m_width, std::min(m_headerHeight, m_height));
}

Rect OutlookBarModel::ItemRect(int index) const {
    if (index < 0 || index >= m_itemCount) {
        return Rect{};
    }
    const int itemHeight = ItemHeight();
    return Rect::FromSize(0, m_headerHeight + index * itemHeight, m_width, itemHeight);
}

int OutlookBarModel::HitTest(int x, int y) const {
    const int itemHeight = ItemHeight();
    if (itemHeight <= 0 || x < 0 || x >= m_width || y < m_headerHeight) {
        return -1;
    }
    const int index = (y - m_headerHeight) / itemHeight;
    return index < m_itemCount ? index : -1;
}

BarInput OutlookBarModel::MouseMove(int x, int y) {
    const int hovered = HitTest(x, y);
    BarInput input;
    input.isRedrawn = hovered != m_hovered;
    m_hovered = hovered;
    return input;
}

BarInput OutlookBarModel::MouseLeave() {
    BarInput input;
    input.isRedrawn = m_hovered != -1;
    m_hovered = -1;
    return input;
}

BarInput OutlookBarModel::Press(int x, int y) {
    m_pressed = HitTest(x, y);
    BarInput input;
    input.isRedrawn = m_pressed >= 0;
    if (m_pressed >= 0) {
        m_focused = m_pressed;
    }
    return input;
}

BarInput OutlookBarModel::Release(int x, int y) {
    BarInput input;
    if (m_pressed < 0) {
        return input;
    }
    input.isRedrawn = true;
    if (HitTest(x, y) == m_pressed) {
        input.chosen = m_pressed;
    }
    m_pressed = -1;
    return input;
}

BarInput OutlookBarModel::Key(BarKey key) {
    BarInput input;
    int focused = m_focused;
    switch (key) {
        case BarKey::Up:
            focused = std::max(0, m_focused - 1);
            break;
        case BarKey::Down:
            focused = std::min(m_itemCount - 1, m_focused + 1);
            break;
        case BarKey::Home:
            focused = 0;
            break;
        case BarKey::End:
            focused = m_itemCount - 1;
            break;
        case BarKey::Enter:
            input.chosen = m_focused;
            return input;
    }
    input.isRedrawn = focused != m_focused;
    m_focused = focused;
    return input;
}

void OutlookBarModel::SetSelected(int index) {
    m_selected = (index >= 0 && index < m_itemCount) ? index : -1;
    if (m_selected >= 0) {
        m_focused = m_selected;
    }
}

}  // namespace common
