// A one-line text field drawn into a picture: background, visible text and a steady caret; editing and the
// visible window live in common::EditModel.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "common/widgets/Control.h"
#include "common/widgets/EditModel.h"
#include "launcher/controls/GPicture.h"

// As a control it takes the focus on a press and the keys while focused; the host's focus and the model's agree.
class GEditCtrl : public common::Control {
public:
    GEditCtrl() = default;
    GEditCtrl(const GEditCtrl&) = delete;
    GEditCtrl& operator=(const GEditCtrl&) = delete;

    // Pictures are borrowed and must outlive the field; false without them.
    bool Create(HWND owner, int x, int y, int width, int height, uint32_t id, size_t maxLength, GPicture* background,
                GPicture* caret);
    // The field draws and measures with this font (nullptr: the system font). Borrowed.
    void SetFont(HFONT font) { m_font = font; }

    void Draw(GPicture& target);
    void SetText(const wchar_t* text);
    void Clear();
    // NUL-terminated; empty before Create.
    const wchar_t* Text() const;

    void SetFocusFromNotice(uint32_t id);
    // Inside: focuses, and on gaining focus sends the owner WM_SETFOCUS with wParam = id so each of its fields
    // can update from the notice. Outside: loses focus. True when inside.
    bool Click(int x, int y);
    bool KeyDown(UINT virtualKey);
    bool KeyUp();
    bool Character(wchar_t code);
    void Composition(wchar_t code, DWORD flags);
    bool ImeCharacter(wchar_t code);

    common::PixelRect Bounds() const override;
    // Before Create there is nothing to draw or hit.
    bool IsVisible() const override { return m_model != nullptr; }
    bool IsFocusable() const override { return true; }
    void Paint(common::PaintContext& context) override;
    void OnMouseDown(int x, int y) override { Click(x, y); }
    void OnFocus(bool isFocused) override;
    bool OnKey(const common::KeyEvent& key) override;

    uint32_t Id() const { return m_id; }
    bool IsFocused() const { return m_model && m_model->IsFocused(); }

private:
    HFONT FontOrDefault() const;

    HWND m_owner = nullptr;
    uint32_t m_id = 0;
    std::unique_ptr<common::EditModel> m_model;
    GPicture* m_background = nullptr;
    GPicture* m_caret = nullptr;
    HFONT m_font = nullptr;
};
