// The pixel work of the launcher's drawing: fill, opaque and colour-keyed copies, constant-alpha blend, 24-bit
// conversion and stretching, all on 5-6-5 surfaces and all clipped so nothing touches memory outside a surface.
#pragma once

#include <cstdint>
#include <optional>

#include "common/gfx/Surface565.h"

namespace common {

// The part of a copy that survives clipping: a source origin, a destination origin and a size, all inside their
// surfaces.
struct BlitArea {
    int sourceX = 0;
    int sourceY = 0;
    int destX = 0;
    int destY = 0;
    int width = 0;
    int height = 0;
};

// Clips a copy of `sourceRect` (of a sourceWidth x sourceHeight surface) to (destX, destY) on a destWidth x
// destHeight surface. The source rectangle is first cut to its surface, moving the destination with it, then to
// the destination. Nothing when the result is empty.
std::optional<BlitArea> ClipBlit(int destWidth, int destHeight, int destX, int destY, int sourceWidth, int sourceHeight,
                                 const PixelRect& sourceRect);

// Fills `rect` (clipped to the surface) with `color`.
void FillRect565(Surface565 dest, const PixelRect& rect, uint16_t color);

// Copies `sourceRect` of `source` so that its top-left lands at (destX, destY), row by row. The two surfaces must
// not overlap in memory.
void CopyOpaque565(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect);
// Likewise, skipping source pixels equal to `key`.
void CopyKeyed565(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect, uint16_t key);
// The whole source.
inline PixelRect WholeOf(Surface565 surface) {
    return PixelRect{0, 0, surface.Width(), surface.Height()};
}

// Source-over blend with one constant alpha (0 keeps the destination, 255 copies the source), per channel in the
// channels' own 5 or 6 bits: d' = (s * a + d * (255 - a) + 127) / 255. GDI's AlphaBlend widens to 8 bits, blends
// and truncates back; the two agree within one step of each 5-6-5 channel.
void BlendConstant565(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect,
                      uint8_t alpha);

// 24-bit BGR pixels as Windows lays them out: rows of `stride` bytes (at least width * 3), bottom-up when
// `isBottomUp` (the first row in memory is the image's last).
struct Bgr24Image {
    const uint8_t* bits = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    bool isBottomUp = false;

    bool IsValid() const { return bits != nullptr && width > 0 && height > 0 && stride >= width * 3; }
    const uint8_t* Row(int y) const {
        int memoryRow = isBottomUp ? height - 1 - y : y;
        return bits + static_cast<ptrdiff_t>(memoryRow) * stride;
    }
};

// Converts the top-left part both share into `dest`, truncating channels like Rgb565FromRgb. False when the
// image is not valid.
bool ConvertBgr24To565(Surface565 dest, const Bgr24Image& source);

// Scales the whole source to the whole destination by area averaging: each destination pixel is the mean of the
// source area it covers, weighted by exact overlap (integer arithmetic, rounded). Shrinking averages every source
// pixel in; enlarging by a whole factor repeats pixels exactly, otherwise blends the two neighbours at each seam.
// For photographs (the background image); colour-keyed art must use the nearest-pixel stretch below, since
// averaging would turn key-coloured edges into almost-key colours that are drawn.
bool StretchBgr24To565(Surface565 dest, const Bgr24Image& source);
void StretchArea565(Surface565 dest, Surface565 source);
// Nearest pixel, sampled at each destination pixel's centre; keeps key colours exact.
void StretchNearest565(Surface565 dest, Surface565 source);

}  // namespace common
