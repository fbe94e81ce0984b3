// An off-screen 16-bit picture (a 5-6-5 DIB section) and the drawing the launcher does into it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "common/gfx/KeyedSprite565.h"
#include "common/gfx/Surface565.h"
#include "platform/UniqueHandle.h"

// How it works: an own picture holds a top-down BI_BITFIELDS 5-6-5 DIB section; its memory is viewed as a
// common::Surface565 and all copying, keying, filling and blending is done by the portable pixel code. GDI
// touches the bits only to load bitmaps, draw icons and draw text, and every such call ends with GdiFlush, so
// the memory is current before the portable code reads it. A shared picture is a view of part of another
// picture's bitmap and frees nothing; the other picture must outlive it. An empty picture draws nothing and
// every drawing into it does nothing. An own picture drawn keyed keeps its non-key pixels prepared as a
// common::KeyedSprite565 from its first keyed draw on, so later keyed draws copy runs without testing the key;
// every change made through this class drops them. A shared picture is always keyed pixel by pixel, since its
// pixels may change in the other picture. UI thread only.
class GPicture {
public:
    enum class State { None, Own, Shared };

    GPicture() = default;
    virtual ~GPicture();
    GPicture(const GPicture&) = delete;
    GPicture& operator=(const GPicture&) = delete;

    // A new black picture; false (and empty) for a size that is not positive or when GDI refuses.
    bool Create(int width, int height);
    // The bitmap resource `id` of `instance` copied into a new picture of its size; false when it is missing.
    bool LoadResourceBitmap(HINSTANCE instance, int id);
    // A bitmap file stretched to width x height by area averaging (a photograph: the background image); the key
    // colour becomes black.
    bool LoadBitmapFile(const wchar_t* path, int width, int height);
    // A black picture with `icon` drawn at (0, 0) at that size; `key` becomes the key colour.
    bool FromIcon(HICON icon, int width, int height, COLORREF key);
    // Copied when the widths agree, stretched otherwise. The handle stays the caller's.
    bool FromBitmapHandle(HBITMAP bitmap, int width, int height);
    // Draws from `other`'s bitmap within `rect` (clipped to it); keeps this picture's key colour.
    void Share(const GPicture& other, const RECT& rect);
    void Free();

    State GetState() const { return m_state; }
    bool IsEmpty() const { return m_surface.IsEmpty(); }
    int Width() const { return m_surface.Width(); }
    int Height() const { return m_surface.Height(); }
    void SetKeyColor(COLORREF color);
    COLORREF KeyColor() const { return m_keyColor; }
    uint16_t Key565() const { return m_key565; }
    // Outside the picture is not a key pixel.
    bool IsKeyPixel(int x, int y) const;
    // The pixels, for the portable code; valid until the picture is freed or reloaded. Writes through it must come
    // before the picture is first drawn keyed: the prepared runs would not see them.
    common::Surface565 Surface() const { return m_surface; }
    HBITMAP Bitmap() const { return m_bitmap; }

    // Copies the source (or its part `sourceRect`) so that its top-left lands at (x, y), clipped to both; with
    // `isTransparent`, source pixels of the source's key colour are skipped.
    void DrawPicture(int x, int y, const GPicture& source, bool isTransparent);
    void DrawPicture(int x, int y, const GPicture& source, const RECT& sourceRect, bool isTransparent);
    void FillRect(int x, int y, int width, int height, COLORREF color);
    // Text colour kKeepColor keeps the DC's current one; background kKeepColor draws transparently. With no
    // box the text goes into (x, y, x + 326, y + 50). DT_NOPREFIX and DT_END_ELLIPSIS are always added.
    static constexpr COLORREF kKeepColor = CLR_INVALID;
    void DrawText(int x, int y, const RECT* box, const wchar_t* text, UINT format, HFONT font, COLORREF textColor,
                  COLORREF backgroundColor);
    // Blends the source's top-left width x height over this picture at (x, y) with one constant alpha.
    void AlphaBlend(const GPicture& source, int x, int y, int width, int height, uint8_t alpha);

    // Until ClearClip, the drawing above changes only the pixels inside `rect` (this picture's coordinates; a
    // rectangle outside the picture lets nothing through). Sharing and the pixels read are not clipped.
    void SetClip(const RECT& rect);
    void ClearClip() { m_clip.reset(); }

private:
    bool CreateOwn(int width, int height);
    bool CopyFromBitmap(HBITMAP bitmap, int width, int height, bool isPhoto);
    // The pixels changed: the prepared runs no longer match them.
    void ForgetSprite();
    const common::KeyedSprite565& Sprite() const;
    // Where a draw lands: the pixels it may change, and how far their top-left lies from this picture's.
    struct DrawTarget {
        common::Surface565 surface;
        int dx = 0;
        int dy = 0;
    };
    DrawTarget Target() const;

    State m_state = State::None;
    platform::UniqueBitmap m_ownBitmap;
    HBITMAP m_bitmap = nullptr;  // the own bitmap, or the shared one
    POINT m_origin = {};         // where this picture starts inside m_bitmap
    common::Surface565 m_surface;
    COLORREF m_keyColor = 0;
    uint16_t m_key565 = 0;
    // Prepared on the first keyed draw from this picture, which may be a const source.
    mutable common::KeyedSprite565 m_sprite;
    mutable bool m_isSpriteCurrent = false;
    std::optional<common::PixelRect> m_clip;  // within the picture
};
