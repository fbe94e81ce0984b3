// The input state of an image button: pressing, capturing and releasing, and hit tests against its last drawn
// position, with key-coloured pixels of a transparent button counting as outside.
#pragma once

#include <cstdint>

#include "common/gfx/Surface565.h"

namespace common {

// What a release means to the owner.
enum class ButtonRelease {
    Ignored,  // the button was not captured: offer the release to someone else
    Missed,   // the capture ended outside the button (or on a key pixel): no notice
    Clicked,  // released inside: send the button's notice exactly once
};

// How it works: Press captures, Release ends the capture. Only a release that ends a capture inside the button
// is a click, so a press dragged off and released elsewhere sends nothing. A disabled button takes presses (so
// nothing underneath reacts) but never captures and so never clicks. Coordinates are the owner's; the button is
// at the position it was last drawn.
class ButtonState {
public:
    // `image` is the normal image (borrowed view, sized like the button); with `isTransparent`, its pixels equal
    // to `key` do not belong to the button. An empty image makes a button without a key test.
    void Create(int width, int height, bool isTransparent, Surface565 image, uint16_t key);
    // The image may be reloaded while the button lives; the owner refreshes the view before input.
    void SetImage(Surface565 image, uint16_t key);
    void SetPosition(int x, int y);
    void SetDisabled(bool isDisabled);

    // True when taken.
    bool Press(int x, int y);
    ButtonRelease Release(int x, int y);
    // Ends a press without a click (the host took the capture away).
    void Cancel();
    // Inside the rectangle, edges included, with no key test and no change of state (right clicks).
    bool Hit(int x, int y) const;
    // Hit, and not on a key pixel of a transparent button: where a press is taken.
    bool IsOnButton(int x, int y) const;

    bool IsCreated() const { return m_isCreated; }
    bool IsPressed() const { return m_isPressed; }
    bool IsDisabled() const { return m_isDisabled; }
    int X() const { return m_x; }
    int Y() const { return m_y; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    bool m_isCreated = false;
    bool m_isTransparent = false;
    bool m_isPressed = false;
    bool m_isCaptured = false;
    bool m_isDisabled = false;
    int m_x = 0;
    int m_y = 0;
    int m_width = 0;
    int m_height = 0;
    Surface565 m_image;
    uint16_t m_key = 0;
};

}  // namespace common
