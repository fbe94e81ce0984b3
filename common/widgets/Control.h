// The launcher's drawn controls as one family: what a control tells its host and what the host tells it.
#pragma once

#include <cstdint>

#include "common/gfx/Surface565.h"

namespace common {

// What controls draw with. Defined by the side that draws (the Windows side: a picture, a font, a colour), so
// that this layer stays free of drawing types.
struct PaintContext;

enum class KeyKind {
    Down,          // code: virtual key
    Up,            // code: virtual key
    Character,     // code: UTF-16 unit
    ImeCharacter,  // code: UTF-16 unit from the input method
    Composition,   // code: the composing unit; flags: the composition flags
};

struct KeyEvent {
    KeyKind kind = KeyKind::Down;
    uint32_t code = 0;
    uint32_t flags = 0;
};

// Inside `rect` with the right and bottom edges included, as the launcher has always hit-tested its controls.
inline bool IsOnRect(const PixelRect& rect, int x, int y) {
    return x >= rect.x && y >= rect.y && x - rect.x <= rect.width && y - rect.y <= rect.height;
}

// A windowless control inside a ControlHost. Coordinates are the host's. The defaults make a control that is
// visible, enabled, solid all over its bounds, takes no focus and ignores everything; a control overrides what
// it reacts to. UI thread only.
class Control {
public:
    virtual ~Control() = default;

    virtual PixelRect Bounds() const = 0;
    // Finer than the bounds: false where a point inside them still falls through (a see-through pixel).
    virtual bool IsSolidAt(int /*x*/, int /*y*/) { return true; }
    // A hidden control is neither drawn nor hit.
    virtual bool IsVisible() const { return true; }
    // A disabled control is drawn and hit, but it takes a press without effect and gets no input.
    virtual bool IsEnabled() const { return true; }
    // Only a focusable control receives keys.
    virtual bool IsFocusable() const { return false; }

    virtual void Paint(PaintContext& context) = 0;
    virtual void OnMouseDown(int /*x*/, int /*y*/) {}
    virtual void OnMouseMove(int /*x*/, int /*y*/) {}
    // Ends a press. `isClick`: released on the control; false also when the host cancels the press.
    virtual void OnMouseUp(int /*x*/, int /*y*/, bool /*isClick*/) {}
    virtual void OnFocus(bool /*isFocused*/) {}
    // True when taken.
    virtual bool OnKey(const KeyEvent& /*key*/) { return false; }
};

}  // namespace common
