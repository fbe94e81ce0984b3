// GButton: the Windows half of an image button; input state lives in common::ButtonState.
#include "launcher/controls/GButton.h"

#include "common/gfx/PixelOps.h"
#include "launcher/controls/PaintContext.h"

namespace {

constexpr int kPressedShrink = 3;
constexpr int kPressedShift = 2;
constexpr int kCaptionInset = 3;
constexpr int kCaptionOverhang = 10;
constexpr int kCaptionHeight = 15;
constexpr int kDisabledCaptionLift = 2;

}  // namespace

bool GButton::Create(HWND owner, uint16_t id, int x, int y, GPicture* normal, bool isTransparent,
                     const wchar_t* caption, CaptionMode captionMode, COLORREF pressedBackground, int captionOffset) {
    if (normal == nullptr || normal->IsEmpty()) {
        return false;
    }
    m_owner = owner;
    m_id = id;
    m_home = POINT{x, y};
    m_isTransparent = isTransparent;
    m_normalImage = normal;
    m_captionMode = captionMode;
    m_captionOffset = captionOffset;
    SetCaption(caption);

    const int width = normal->Width();
    const int height = normal->Height();
    if (!m_pressedImage.Create(width, height)) {
        return false;
    }
    m_pressedImage.SetKeyColor(pressedBackground);
    m_pressedImage.FillRect(0, 0, width, height, pressedBackground);
    if (width > kPressedShrink && height > kPressedShrink) {
        // Nearest-pixel shrink keeps the image's key pixels exact, so they still let the background through.
        common::Bitmap565 shrunk(width - kPressedShrink, height - kPressedShrink);
        common::StretchNearest565(shrunk.View(), normal->Surface());
        common::CopyKeyed565(m_pressedImage.Surface(), kPressedShift, kPressedShift, shrunk.View(),
                             common::WholeOf(shrunk.View()), normal->Key565());
    }
    m_state.Create(width, height, isTransparent, normal->Surface(), normal->Key565());
    m_state.SetPosition(x, y);
    return true;
}

void GButton::SetCaption(const wchar_t* caption) {
    m_caption = caption != nullptr ? caption : L"";
    m_captionPicture.Free();
}

void GButton::RefreshImage() {
    if (m_normalImage != nullptr) {
        m_state.SetImage(m_normalImage->Surface(), m_normalImage->Key565());
    }
}

void GButton::Draw(GPicture& target, int x, int y, UINT captionFormat, HFONT font, COLORREF captionColor) {
    if (!m_state.IsCreated()) {
        return;
    }
    m_state.SetPosition(x, y);
    const bool isDisabled = m_state.IsDisabled();
    const GPicture* image = nullptr;
    if (isDisabled) {
        image = m_disabledImage;
    } else {
        image = m_state.IsPressed() ? &m_pressedImage : m_normalImage;
    }
    if (image == nullptr) {
        return;
    }
    target.DrawPicture(x, y, *image, m_isTransparent);
    if (m_caption.empty()) {
        return;
    }
    if (m_captionMode == CaptionMode::TopLeft) {
        target.DrawText(x + kCaptionInset, y + kCaptionInset, nullptr, m_caption.c_str(), 0, nullptr, captionColor,
                        GPicture::kKeepColor);
        return;
    }
    const int top = y + m_state.Height() + (isDisabled ? -kDisabledCaptionLift : m_captionOffset);
    const GPicture& caption = CaptionPicture(captionFormat, font, captionColor);
    target.DrawPicture(x - kCaptionOverhang, top, caption, true);
}

const GPicture& GButton::CaptionPicture(UINT format, HFONT font, COLORREF colour) {
    // Text is the costly part of a frame under Wine; the caption is drawn once into its own keyed picture and
    // copied from then on, until the caption, font, format or colour change.
    if (m_captionPicture.IsEmpty() || m_captionFormat != format || m_captionFont != font || m_captionColour != colour) {
        int width = m_state.Width() + 2 * kCaptionOverhang;
        if (m_captionPicture.Create(width, kCaptionHeight)) {
            m_captionPicture.SetKeyColor(RGB(0, 0, 0));
            RECT box = {0, 0, width, kCaptionHeight};
            m_captionPicture.DrawText(0, 0, &box, m_caption.c_str(), format, font, colour, GPicture::kKeepColor);
        }
        m_captionFormat = format;
        m_captionFont = font;
        m_captionColour = colour;
    }
    return m_captionPicture;
}

bool GButton::Press(int x, int y) {
    RefreshImage();
    return m_state.Press(x, y);
}

bool GButton::Release(int x, int y) {
    RefreshImage();
    if (m_state.Release(x, y) != common::ButtonRelease::Clicked) {
        return false;
    }
    // No pause after posting: a sleep here would freeze the whole launcher (one UI thread) and delay the very
    // notice it follows, since the owner only reads it after this handler returns.
    ::PostMessageW(m_owner, kButtonNotice, static_cast<WPARAM>(m_id) | kButtonNoticeFlag, 0);
    return true;
}

common::PixelRect GButton::Bounds() const {
    return common::PixelRect{m_state.X(), m_state.Y(), m_state.Width(), m_state.Height()};
}

bool GButton::IsSolidAt(int x, int y) {
    RefreshImage();
    return m_state.IsOnButton(x, y);
}

void GButton::Paint(common::PaintContext& context) {
    Draw(context.target, m_home.x + context.offsetX, m_home.y, DT_LEFT, context.font, context.textColour);
}

void GButton::OnMouseUp(int x, int y, bool isClick) {
    if (isClick) {
        Release(x, y);
    } else {
        m_state.Cancel();
    }
}
