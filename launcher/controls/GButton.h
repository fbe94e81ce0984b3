// An image button drawn into a picture: normal, pressed and disabled looks, an optional caption, and a notice to
// its owner window when a press is released on it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/ipc/Messages.h"
#include "common/widgets/ButtonState.h"
#include "common/widgets/Control.h"
#include "launcher/controls/GPicture.h"

// Posted to the owner on a click: wParam = id | kButtonNoticeFlag, lParam 0.
constexpr UINT kButtonNotice = common::kMsgButtonNotice;
constexpr WPARAM kButtonNoticeFlag = 0x10000;

enum class CaptionMode {
    TopLeft = 0,     // at the image's corner plus 3 pixels, default font
    UnderImage = 1,  // centred in a box under the image
};

// As a control it paints at the point it was created at (shifted by the context's offset), with the context's
// font and colour, left-aligned.
class GButton : public common::Control {
public:
    GButton() = default;
    ~GButton() override = default;
    GButton(const GButton&) = delete;
    GButton& operator=(const GButton&) = delete;

    // `normal` is borrowed and must outlive the button; its size is the button's. The pressed image is built
    // here: `pressedBackground` all over (and made its key), the normal image shrunk by 3 pixels drawn keyed at
    // (2, 2), so a pressed button looks pushed down and right. False without an image.
    bool Create(HWND owner, uint16_t id, int x, int y, GPicture* normal, bool isTransparent, const wchar_t* caption,
                CaptionMode captionMode, COLORREF pressedBackground, int captionOffset);

    void SetDisabled(bool isDisabled) { m_state.SetDisabled(isDisabled); }
    // Borrowed, like the normal image.
    void SetDisabledImage(GPicture* image) { m_disabledImage = image; }
    void SetCaption(const wchar_t* caption);

    // Draws at (x, y) and remembers the position for hit tests. A disabled button without a disabled image draws
    // nothing, caption included.
    void Draw(GPicture& target, int x, int y, UINT captionFormat, HFONT font, COLORREF captionColor);

    // True when taken (see common::ButtonState).
    bool Press(int x, int y);
    // True when this release is a click; the notice has then been posted to the owner.
    bool Release(int x, int y);
    bool Hit(int x, int y) const { return m_state.Hit(x, y); }

    common::PixelRect Bounds() const override;
    bool IsSolidAt(int x, int y) override;
    bool IsEnabled() const override { return !m_state.IsDisabled(); }
    void Paint(common::PaintContext& context) override;
    void OnMouseDown(int x, int y) override { Press(x, y); }
    void OnMouseUp(int x, int y, bool isClick) override;

    uint16_t Id() const { return m_id; }
    bool IsPressed() const { return m_state.IsPressed(); }
    bool IsDisabled() const { return m_state.IsDisabled(); }

private:
    void RefreshImage();
    const GPicture& CaptionPicture(UINT format, HFONT font, COLORREF colour);

    HWND m_owner = nullptr;
    uint16_t m_id = 0;
    POINT m_home = {};  // where Paint draws
    bool m_isTransparent = false;
    common::ButtonState m_state;
    GPicture* m_normalImage = nullptr;
    GPicture* m_disabledImage = nullptr;
    GPicture m_pressedImage;
    std::wstring m_caption;
    GPicture m_captionPicture;  // the under-image caption, rendered once
    UINT m_captionFormat = 0;
    HFONT m_captionFont = nullptr;
    COLORREF m_captionColour = 0;
    CaptionMode m_captionMode = CaptionMode::TopLeft;
    int m_captionOffset = 0;
};
