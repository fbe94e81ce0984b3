// One place that routes mouse and keys to windowless controls and paints them, in the manner of a window
// manager for controls that have no windows.
#pragma once

#include <vector>

#include "common/widgets/Control.h"

namespace common {

// How it works: the controls are listed bottom to top; they are painted in that order and hit-tested top down,
// so the topmost visible control under a point gets it and hidden ones let it through. A press on an enabled
// control captures it: moves and the release go to it wherever they happen, and the release is a click only
// when that control is the topmost one under it. A press on a disabled control is taken without effect, so
// nothing under it reacts either. A new press while one is held cancels the old one first. Focus: a press on a
// focusable control focuses it, a press on nothing clears the focus, a press on any other control leaves it;
// keys go to the focused control only. Controls are borrowed; UI thread only.
class ControlHost {
public:
    // Replaces the list (bottom to top). A captured or focused control that is no longer listed is forgotten
    // without being told, as it may be gone.
    void SetControls(std::vector<Control*> controls);

    void Paint(PaintContext& context);

    // True when a control is under the point.
    bool MouseDown(int x, int y);
    // To the captured control, if any.
    void MouseMove(int x, int y);
    // The control clicked (pressed and released on), or nullptr; the captured control hears the release always.
    Control* MouseUp(int x, int y);

    // True when the focused control took the key.
    bool Key(const KeyEvent& key);
    // nullptr clears the focus. A control that is not listed or not focusable clears it too.
    void SetFocus(Control* control);
    Control* Focused() const { return m_focused; }
    Control* Captured() const { return m_captured; }

private:
    Control* TopmostAt(int x, int y);
    bool IsListed(const Control* control) const;
    void CancelCapture(int x, int y);

    std::vector<Control*> m_controls;
    Control* m_captured = nullptr;
    Control* m_focused = nullptr;
};

}  // namespace common
