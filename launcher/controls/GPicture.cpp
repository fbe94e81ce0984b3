// GPicture: DIB section management in GDI, pixel work in common/gfx.
#include "launcher/controls/GPicture.h"

#include <algorithm>
#include <vector>

#include "common/gfx/PixelOps.h"
#include "common/gfx/Rgb565.h"
#include "platform/GdiGuards.h"

namespace {

// BITMAPINFO with room for the three colour masks BI_BITFIELDS needs.
struct BitfieldsInfo {
    BITMAPINFOHEADER header;
    DWORD masks[3];
};

BitfieldsInfo MakeBitfieldsInfo(int width, int height) {
    BitfieldsInfo info = {};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = -height;  // top-down, like the portable surfaces
    info.header.biPlanes = 1;
    info.header.biBitCount = 16;
    info.header.biCompression = BI_BITFIELDS;
    info.masks[0] = 0xF800;
    info.masks[1] = 0x07E0;
    info.masks[2] = 0x001F;
    return info;
}

RECT ToRect(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}

common::PixelRect ToPixelRect(const RECT& rect) {
    return common::PixelRect{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Any bitmap as 24-bit top-down BGR rows, whatever its own format; GDI does the palette and depth work.
struct Bgr24Copy {
    std::vector<uint8_t> bytes;
    common::Bgr24Image image;
};

bool ReadBgr24(HBITMAP bitmap, Bgr24Copy& copy) {
    BITMAP info = {};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return false;
    }
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    const int stride = (width * 3 + 3) & ~3;
    copy.bytes.assign(static_cast<size_t>(stride) * height, 0);
    BITMAPINFO request = {};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 24;
    request.bmiHeader.biCompression = BI_RGB;
    platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc || ::GetDIBits(dc.get(), bitmap, 0, height, copy.bytes.data(), &request, DIB_RGB_COLORS) != height) {
        return false;
    }
    copy.image = common::Bgr24Image{copy.bytes.data(), width, height, stride, false};
    return true;
}

}  // namespace

GPicture::~GPicture() {
    Free();
}

bool GPicture::CreateOwn(int width, int height) {
    Free();
    if (width <= 0 || height <= 0) {
        return false;
    }
    BitfieldsInfo info = MakeBitfieldsInfo(width, height);
    void* bits = nullptr;
    platform::UniqueBitmap bitmap(
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || bits == nullptr) {
        return false;
    }
    m_ownBitmap = std::move(bitmap);
    m_bitmap = m_ownBitmap.get();
    m_origin = POINT{0, 0};
    m_surface = common::Surface565(bits, width, height, common::Stride565(width));
    m_state = State::Own;
    return true;
}

bool GPicture::Create(int width, int height) {
    // CreateDIBSection memory starts zeroed, which is black.
    return CreateOwn(width, height);
}

bool GPicture::CopyFromBitmap(HBITMAP bitmap, int width, int height, bool isPhoto) {
    Bgr24Copy copy;
    if (!ReadBgr24(bitmap, copy)) {
        Free();
        return false;
    }
    if (width <= 0 || height <= 0) {
        width = copy.image.width;
        height = copy.image.height;
    }
    if (!CreateOwn(width, height)) {
        return false;
    }
    if (copy.image.width == width) {
        return common::ConvertBgr24To565(m_surface, copy.image);
    }
    if (isPhoto) {
        return common::StretchBgr24To565(m_surface, copy.image);
    }
    // Keyed art keeps exact key colours: convert at full size, then take nearest pixels.
    common::Bitmap565 full(copy.image.width, copy.image.height);
    common::ConvertBgr24To565(full.View(), copy.image);
    common::StretchNearest565(m_surface, full.View());
    return true;
}

bool GPicture::LoadResourceBitmap(HINSTANCE instance, int id) {
    platform::UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap) {
        Free();
        return false;
    }
    return CopyFromBitmap(bitmap.get(), 0, 0, false);
}

bool GPicture::LoadBitmapFile(const wchar_t* path, int width, int height) {
    SetKeyColor(0);
    platform::UniqueBitmap bitmap(
        static_cast<HBITMAP>(::LoadImageW(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!bitmap || width <= 0 || height <= 0) {
        Free();
        return false;
    }
    Bgr24Copy copy;
    if (!ReadBgr24(bitmap.get(), copy) || !CreateOwn(width, height)) {
        Free();
        return false;
    }
    return common::StretchBgr24To565(m_surface, copy.image);
}

bool GPicture::FromIcon(HICON icon, int width, int height, COLORREF key) {
    SetKeyColor(key);
    if (icon == nullptr || !CreateOwn(width, height)) {
        Free();
        return false;
    }
    platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return false;
    }
    platform::SelectGuard select(dc.get(), m_bitmap);
    BOOL isDrawn = ::DrawIconEx(dc.get(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    ::GdiFlush();
    return isDrawn != FALSE;
}

bool GPicture::FromBitmapHandle(HBITMAP bitmap, int width, int height) {
    return CopyFromBitmap(bitmap, width, height, false);
}

void GPicture::Share(const GPicture& other, const RECT& rect) {
    Free();
    common::Surface565 part = other.m_surface.Sub(ToPixelRect(rect));
    if (part.IsEmpty()) {
        return;
    }
    m_bitmap = other.m_bitmap;
    m_origin = POINT{other.m_origin.x + std::max<LONG>(rect.left, 0), other.m_origin.y + std::max<LONG>(rect.top, 0)};
    m_surface = part;
    m_state = State::Shared;
}

void GPicture::Free() {
    ForgetSprite();
    m_surface = common::Surface565();
    m_bitmap = nullptr;
    m_origin = POINT{0, 0};
    m_clip.reset();
    m_ownBitmap.reset();
    m_state = State::None;
}

void GPicture::ForgetSprite() {
    // Called on every draw into the frame: cheap when nothing is prepared.
    if (m_isSpriteCurrent) {
        m_sprite.Clear();
        m_isSpriteCurrent = false;
    }
}

const common::KeyedSprite565& GPicture::Sprite() const {
    if (!m_isSpriteCurrent) {
        m_sprite.Build(m_surface, m_key565);
        m_isSpriteCurrent = true;
    }
    return m_sprite;
}

void GPicture::SetKeyColor(COLORREF color) {
    ForgetSprite();
    m_keyColor = color;
    m_key565 = common::Rgb565FromColorRef(color);
}

bool GPicture::IsKeyPixel(int x, int y) const {
    return m_surface.Contains(x, y) && m_surface.PixelAt(x, y) == m_key565;
}

void GPicture::DrawPicture(int x, int y, const GPicture& source, bool isTransparent) {
    DrawPicture(x, y, source, ToRect(0, 0, source.Width(), source.Height()), isTransparent);
}

void GPicture::SetClip(const RECT& rect) {
    const LONG left = std::max<LONG>(rect.left, 0);
    const LONG top = std::max<LONG>(rect.top, 0);
    const LONG right = std::min<LONG>(rect.right, Width());
    const LONG bottom = std::min<LONG>(rect.bottom, Height());
    m_clip = common::PixelRect{left, top, std::max<LONG>(right - left, 0), std::max<LONG>(bottom - top, 0)};
}

GPicture::DrawTarget GPicture::Target() const {
    if (!m_clip) {
        return DrawTarget{m_surface, 0, 0};
    }
    return DrawTarget{m_surface.Sub(*m_clip), m_clip->x, m_clip->y};
}

void GPicture::DrawPicture(int x, int y, const GPicture& source, const RECT& sourceRect, bool isTransparent) {
    ForgetSprite();
    DrawTarget target = Target();
    x -= target.dx;
    y -= target.dy;
    if (isTransparent && source.m_state == State::Own) {
        source.Sprite().Draw(target.surface, x, y, ToPixelRect(sourceRect));
    } else if (isTransparent) {
        common::CopyKeyed565(target.surface, x, y, source.m_surface, ToPixelRect(sourceRect), source.m_key565);
    } else {
        common::CopyOpaque565(target.surface, x, y, source.m_surface, ToPixelRect(sourceRect));
    }
}

void GPicture::FillRect(int x, int y, int width, int height, COLORREF color) {
    ForgetSprite();
    DrawTarget target = Target();
    common::FillRect565(target.surface, common::PixelRect{x - target.dx, y - target.dy, width, height},
                        common::Rgb565FromColorRef(color));
}

void GPicture::DrawText(int x, int y, const RECT* box, const wchar_t* text, UINT format, HFONT font, COLORREF textColor,
                        COLORREF backgroundColor) {
    RECT area = box != nullptr ? *box : RECT{x, y, x + 326, y + 50};
    RECT visible = {0, 0, Width(), Height()};
    if (m_clip) {
        visible = ToRect(m_clip->x, m_clip->y, m_clip->width, m_clip->height);
    }
    RECT drawn = {};
    if (IsEmpty() || text == nullptr || !::IntersectRect(&drawn, &area, &visible)) {
        return;
    }
    ForgetSprite();
    platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    if (!dc) {
        return;
    }
    platform::SelectGuard selectBitmap(dc.get(), m_bitmap);
    // A shared picture is a window into a larger bitmap: move the origin there and keep the text inside.
    ::SetViewportOrgEx(dc.get(), m_origin.x, m_origin.y, nullptr);
    ::IntersectClipRect(dc.get(), visible.left, visible.top, visible.right, visible.bottom);
    HGDIOBJ chosenFont = font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetCurrentObject(dc.get(), OBJ_FONT);
    platform::SelectGuard selectFont(dc.get(), chosenFont);
    if (textColor != kKeepColor) {
        ::SetTextColor(dc.get(), textColor);
    }
    if (backgroundColor == kKeepColor) {
        ::SetBkMode(dc.get(), TRANSPARENT);
    } else {
        ::SetBkMode(dc.get(), OPAQUE);
        ::SetBkColor(dc.get(), backgroundColor);
    }
    ::DrawTextW(dc.get(), text, -1, &area, format | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::GdiFlush();
}

void GPicture::AlphaBlend(const GPicture& source, int x, int y, int width, int height, uint8_t alpha) {
    ForgetSprite();
    DrawTarget target = Target();
    common::BlendConstant565(target.surface, x - target.dx, y - target.dy, source.m_surface,
                             common::PixelRect{0, 0, width, height}, alpha);
}
