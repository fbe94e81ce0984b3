// GEditCtrl: input cracking, measuring and drawing for common::EditModel.
#include "launcher/controls/GEditCtrl.h"

#include <string>

#include "launcher/controls/PaintContext.h"
#include "platform/GdiGuards.h"
#include "platform/WideText.h"

namespace {

constexpr int kTextInset = 5;
constexpr int kCaretTop = 2;
constexpr int kCaretLeft = 2;

// Measures on the owner window's DC with the field's font, the same font Draw uses, so the visible window and
// the drawn text agree. The DC is held for one edit, not across messages.
class WindowDcMeasurer : public common::ITextMeasurer {
public:
    WindowDcMeasurer(HWND owner, HFONT font) : m_dc(owner), m_select(m_dc.get(), font) {}

    int TextWidth(const char16_t* text, size_t count) override {
        SIZE size = {};
        if (m_dc.get() == nullptr ||
            !::GetTextExtentPoint32W(m_dc.get(), platform::WideCStr(text), static_cast<int>(count), &size)) {
            return 0;
        }
        return size.cx;
    }

private:
    platform::WindowDc m_dc;
    platform::SelectGuard m_select;
};

}  // namespace

bool GEditCtrl::Create(HWND owner, int x, int y, int width, int height, uint32_t id, size_t maxLength,
                       GPicture* background, GPicture* caret) {
    if (background == nullptr || caret == nullptr) {
        return false;
    }
    m_owner = owner;
    m_id = id;
    m_background = background;
    m_caret = caret;
    m_model = std::make_unique<common::EditModel>(common::PixelRect{x, y, width, height}, maxLength);
    return true;
}

HFONT GEditCtrl::FontOrDefault() const {
    return m_font != nullptr ? m_font : static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
}

void GEditCtrl::Draw(GPicture& target) {
    if (!m_model) {
        return;
    }
    const common::PixelRect& rect = m_model->Rect();
    target.DrawPicture(rect.x, rect.y, *m_background, true);
    std::wstring visible(reinterpret_cast<const wchar_t*>(m_model->Text()) + m_model->FirstVisible(),
                         m_model->EndVisible() - m_model->FirstVisible());
    RECT box = {rect.x + kTextInset, rect.y, rect.x + rect.width, rect.y + rect.height};
    // DT_SINGLELINE without DT_END_ELLIPSIS cutting: the visible window already fits the room.
    target.DrawText(box.left, box.top, &box, visible.c_str(), DT_SINGLELINE | DT_NOCLIP, FontOrDefault(),
                    GPicture::kKeepColor, GPicture::kKeepColor);
    if (m_model->IsFocused()) {
        target.DrawPicture(rect.x + m_model->CaretOffset() - kCaretLeft, rect.y + kCaretTop, *m_caret, true);
    }
}

void GEditCtrl::SetText(const wchar_t* text) {
    if (!m_model) {
        return;
    }
    WindowDcMeasurer measurer(m_owner, FontOrDefault());
    m_model->SetText(text != nullptr ? platform::FromWide(text) : std::u16string(), measurer);
}

void GEditCtrl::Clear() {
    if (m_model) {
        m_model->Clear();
    }
}

const wchar_t* GEditCtrl::Text() const {
    return m_model ? platform::WideCStr(m_model->Text()) : L"";
}

void GEditCtrl::SetFocusFromNotice(uint32_t id) {
    if (m_model) {
        m_model->SetFocusFromNotice(id, m_id);
    }
}

bool GEditCtrl::Click(int x, int y) {
    if (!m_model) {
        return false;
    }
    common::EditClick click = m_model->Click(x, y);
    if (click == common::EditClick::GainedFocus) {
        // Sent, not posted: the owner's other fields must drop focus before this click's repaint.
        ::SendMessageW(m_owner, WM_SETFOCUS, m_id, 0);
    }
    return click != common::EditClick::Outside;
}

bool GEditCtrl::KeyDown(UINT virtualKey) {
    if (!m_model) {
        return false;
    }
    WindowDcMeasurer measurer(m_owner, FontOrDefault());
    return m_model->KeyDown(virtualKey, measurer);
}

bool GEditCtrl::KeyUp() {
    return m_model && m_model->KeyUp();
}

bool GEditCtrl::Character(wchar_t code) {
    if (!m_model) {
        return false;
    }
    WindowDcMeasurer measurer(m_owner, FontOrDefault());
    return m_model->Character(static_cast<char16_t>(code), measurer);
}

void GEditCtrl::Composition(wchar_t code, DWORD flags) {
    if (!m_model) {
        return;
    }
    WindowDcMeasurer measurer(m_owner, FontOrDefault());
    m_model->Composition(static_cast<char16_t>(code), flags, measurer);
}

bool GEditCtrl::ImeCharacter(wchar_t code) {
    if (!m_model) {
        return false;
    }
    WindowDcMeasurer measurer(m_owner, FontOrDefault());
    return m_model->ImeCharacter(static_cast<char16_t>(code), measurer);
}

common::PixelRect GEditCtrl::Bounds() const {
    return m_model ? m_model->Rect() : common::PixelRect{};
}

void GEditCtrl::Paint(common::PaintContext& context) {
    Draw(context.target);
}

void GEditCtrl::OnFocus(bool isFocused) {
    if (m_model) {
        m_model->SetFocused(isFocused);
    }
}

bool GEditCtrl::OnKey(const common::KeyEvent& key) {
    switch (key.kind) {
        case common::KeyKind::Down:
            return KeyDown(key.code);
        case common::KeyKind::Up:
            return KeyUp();
        case common::KeyKind::Character:
            return Character(static_cast<wchar_t>(key.code));
        case common::KeyKind::ImeCharacter:
            return ImeCharacter(static_cast<wchar_t>(key.code));
        case common::KeyKind::Composition:
            Composition(static_cast<wchar_t>(key.code), key.flags);
            return true;
    }
    return false;
}
