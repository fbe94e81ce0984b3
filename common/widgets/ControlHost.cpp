// Dispatch of mouse, keys and painting to windowless controls.
#include "common/widgets/ControlHost.h"

#include <algorithm>
#include <utility>

namespace common {

void ControlHost::SetControls(std::vector<Control*> controls) {
    m_controls = std::move(controls);
    if (!IsListed(m_captured)) {
        m_captured = nullptr;
    }
    if (!IsListed(m_focused)) {
        m_focused = nullptr;
    }
}

bool ControlHost::IsListed(const Control* control) const {
    return control != nullptr && std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
}

void ControlHost::Paint(PaintContext& context) {
    for (Control* control : m_controls) {
        if (control->IsVisible()) {
            control->Paint(context);
        }
    }
}

Control* ControlHost::TopmostAt(int x, int y) {
    for (auto it = m_controls.rbegin(); it != m_controls.rend(); ++it) {
        Control* control = *it;
        if (control->IsVisible() && IsOnRect(control->Bounds(), x, y) && control->IsSolidAt(x, y)) {
            return control;
        }
    }
    return nullptr;
}

void ControlHost::CancelCapture(int x, int y) {
    if (Control* captured = std::exchange(m_captured, nullptr)) {
        captured->OnMouseUp(x, y, false);
    }
}

bool ControlHost::MouseDown(int x, int y) {
    // A press without the release of the one before (the capture was lost) must not leave that control held.
    CancelCapture(x, y);
    Control* hit = TopmostAt(x, y);
    if (hit == nullptr) {
        SetFocus(nullptr);
        return false;
    }
    if (!hit->IsEnabled()) {
        return true;
    }
    m_captured = hit;
    hit->OnMouseDown(x, y);
    if (hit->IsFocusable() && IsListed(hit)) {
        SetFocus(hit);
    }
    return true;
}

void ControlHost::MouseMove(int x, int y) {
    if (m_captured != nullptr) {
        m_captured->OnMouseMove(x, y);
    }
}

Control* ControlHost::MouseUp(int x, int y) {
    Control* captured = std::exchange(m_captured, nullptr);
    if (captured == nullptr) {
        return nullptr;
    }
    // Only where the pressed control is what the point shows: a control above it there, or one disabled or
    // hidden while held, gives no click.
    bool isClick = captured->IsEnabled() && TopmostAt(x, y) == captured;
    captured->OnMouseUp(x, y, isClick);
    return isClick ? captured : nullptr;
}

bool ControlHost::Key(const KeyEvent& key) {
    return m_focused != nullptr && m_focused->OnKey(key);
}

void ControlHost::SetFocus(Control* control) {
    if (control != nullptr && (!control->IsFocusable() || !IsListed(control))) {
        control = nullptr;
    }
    if (control == m_focused) {
        return;
    }
    if (Control* previous = std::exchange(m_focused, control)) {
        previous->OnFocus(false);
    }
    if (control != nullptr) {
        control->OnFocus(true);
    }
}

}  // namespace common
