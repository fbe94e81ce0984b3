// Button press, release and hit tests.
#include "common/widgets/ButtonState.h"

#include "common/widgets/Control.h"

namespace common {

void ButtonState::Create(int width, int height, bool isTransparent, Surface565 image, uint16_t key) {
    *this = ButtonState();
    m_isCreated = true;
    m_width = width;
    m_height = height;
    m_isTransparent = isTransparent;
    SetImage(image, key);
}

void ButtonState::SetImage(Surface565 image, uint16_t key) {
    m_image = image;
    m_key = key;
}

void ButtonState::SetPosition(int x, int y) {
    m_x = x;
    m_y = y;
}

void ButtonState::SetDisabled(bool isDisabled) {
    m_isDisabled = isDisabled;
    if (isDisabled) {
        m_isPressed = false;
        m_isCaptured = false;
    }
}

void ButtonState::Cancel() {
    m_isPressed = false;
    m_isCaptured = false;
}

bool ButtonState::Hit(int x, int y) const {
    return m_isCreated && IsOnRect(PixelRect{m_x, m_y, m_width, m_height}, x, y);
}

bool ButtonState::IsOnButton(int x, int y) const {
    if (!Hit(x, y)) {
        return false;
    }
    if (!m_isTransparent || m_image.IsEmpty()) {
        return true;
    }
    int imageX = x - m_x;
    int imageY = y - m_y;
    // The edge row and column lie one past the image; they have no pixel to be keyed.
    if (!m_image.Contains(imageX, imageY)) {
        return true;
    }
    return m_image.PixelAt(imageX, imageY) != m_key;
}

bool ButtonState::Press(int x, int y) {
    if (!IsOnButton(x, y)) {
        return false;
    }
    if (m_isDisabled) {
        return true;
    }
    m_isPressed = true;
    m_isCaptured = true;
    return true;
}

ButtonRelease ButtonState::Release(int x, int y) {
    if (!m_isCaptured) {
        return ButtonRelease::Ignored;
    }
    m_isPressed = false;
    m_isCaptured = false;
    if (m_isDisabled || !IsOnButton(x, y)) {
        return ButtonRelease::Missed;
    }
    return ButtonRelease::Clicked;
}

}  // namespace common
