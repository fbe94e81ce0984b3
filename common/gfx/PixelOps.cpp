// Pixel loops for 5-6-5 surfaces. Opaque copies are one memcpy a row; the keyed copy works in SSE2 blocks (every
// x86-64 processor has them) and skips wholly keyed ones, which are most of the page buffer and of icons' frames.
#include "common/gfx/PixelOps.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "common/gfx/Rgb565.h"

namespace common {

namespace {

// Rows of both surfaces for one clipped copy.
struct RowPair {
    uint16_t* dest;
    const uint16_t* source;
};

RowPair RowsOf(Surface565 dest, Surface565 source, const BlitArea& area, int row) {
    return RowPair{dest.Row(area.destY + row) + area.destX, source.Row(area.sourceY + row) + area.sourceX};
}

std::optional<BlitArea> ClipFor(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect) {
    if (dest.IsEmpty() || source.IsEmpty()) {
        return std::nullopt;
    }
    return ClipBlit(dest.Width(), dest.Height(), destX, destY, source.Width(), source.Height(), sourceRect);
}

#if defined(__SSE2__)
// Eight pixels at a time: a block that is all key is skipped without touching the destination, a block without
// key is stored whole, and only mixed blocks (an icon's rim) pay for the read-modify-write.
inline void CopyKeyedBlock(uint16_t* dest, __m128i pixels, __m128i keys) {
    __m128i isKey = _mm_cmpeq_epi16(pixels, keys);
    int mask = _mm_movemask_epi8(isKey);
    if (mask == 0xFFFF) {
        return;
    }
    __m128i* out = reinterpret_cast<__m128i*>(dest);
    if (mask != 0) {
        __m128i old = _mm_loadu_si128(out);
        pixels = _mm_or_si128(_mm_and_si128(isKey, old), _mm_andnot_si128(isKey, pixels));
    }
    _mm_storeu_si128(out, pixels);
}

void CopyKeyedRow(uint16_t* dest, const uint16_t* source, int count, uint16_t key) {
    const __m128i keys = _mm_set1_epi16(static_cast<short>(key));
    int i = 0;
    // Four blocks at once first: a photograph's and a skin's rows are mostly blocks without key, which then cost
    // four loads, one test and four stores.
    for (; i + 32 <= count; i += 32) {
        __m128i pixels[4];
        for (int b = 0; b < 4; ++b) {
            pixels[b] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i + 8 * b));
        }
        __m128i anyKey = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(pixels[0], keys), _mm_cmpeq_epi16(pixels[1], keys)),
                                      _mm_or_si128(_mm_cmpeq_epi16(pixels[2], keys), _mm_cmpeq_epi16(pixels[3], keys)));
        if (_mm_movemask_epi8(anyKey) == 0) {
            for (int b = 0; b < 4; ++b) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + i + 8 * b), pixels[b]);
            }
        } else {
            for (int b = 0; b < 4; ++b) {
                CopyKeyedBlock(dest + i + 8 * b, pixels[b], keys);
            }
        }
    }
    for (; i + 8 <= count; i += 8) {
        CopyKeyedBlock(dest + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i)), keys);
    }
    // The tail as one more block ending at the row's end: keying the pixels it shares with the block before again
    // changes nothing, and a per-pixel tail mispredicts on icons' edges (clipped icons end there on every row).
    if (i < count && count >= 8) {
        CopyKeyedBlock(dest + count - 8, _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + count - 8)), keys);
        return;
    }
    for (; i < count; ++i) {
        if (source[i] != key) {
            dest[i] = source[i];
        }
    }
}
#else
void CopyKeyedRow(uint16_t* dest, const uint16_t* source, int count, uint16_t key) {
    for (int i = 0; i < count; ++i) {
        if (source[i] != key) {
            dest[i] = source[i];
        }
    }
}
#endif

inline uint32_t BlendChannel(uint32_t source, uint32_t dest, uint32_t alpha) {
    return (source * alpha + dest * (255 - alpha) + 127) / 255;
}

uint16_t BlendPixel(uint16_t source, uint16_t dest, uint32_t alpha) {
    uint32_t r = BlendChannel(source >> 11, dest >> 11, alpha);
    uint32_t g = BlendChannel((source >> 5) & 0x3F, (dest >> 5) & 0x3F, alpha);
    uint32_t b = BlendChannel(source & 0x1F, dest & 0x1F, alpha);
    return static_cast<uint16_t>((r << 11) | (g << 5) | b);
}

// How the destination pixels of one axis take their share of the source. On an axis stretched so that the source
// is sourceLength * destLength units long, destination pixel i covers [i * sourceLength, (i + 1) * sourceLength)
// and source pixel s covers [s * destLength, (s + 1) * destLength): every overlap is a whole number and each
// destination pixel's weights add up to sourceLength.
struct AxisWeights {
    std::vector<int> first;   // first source pixel of each destination pixel
    std::vector<int> offset;  // where its weights start in `weights`
    std::vector<int> count;
    std::vector<uint32_t> weights;
};

AxisWeights MakeAxisWeights(int sourceLength, int destLength) {
    AxisWeights axis;
    axis.first.resize(destLength);
    axis.offset.resize(destLength);
    axis.count.resize(destLength);
    for (int i = 0; i < destLength; ++i) {
        int64_t begin = static_cast<int64_t>(i) * sourceLength;
        int64_t end = begin + sourceLength;
        int first = static_cast<int>(begin / destLength);
        int last = static_cast<int>((end - 1) / destLength);
        axis.first[i] = first;
        axis.offset[i] = static_cast<int>(axis.weights.size());
        axis.count[i] = last - first + 1;
        for (int s = first; s <= last; ++s) {
            int64_t overlap = std::min(end, static_cast<int64_t>(s + 1) * destLength) -
                              std::max(begin, static_cast<int64_t>(s) * destLength);
            axis.weights.push_back(static_cast<uint32_t>(overlap));
        }
    }
    return axis;
}

// Separable area average: a horizontal pass into channel sums per source row, then a vertical pass.
template <typename FetchRow>
void StretchArea(Surface565 dest, int sourceWidth, int sourceHeight, FetchRow fetchRow) {
    const int destWidth = dest.Width();
    const int destHeight = dest.Height();
    AxisWeights across = MakeAxisWeights(sourceWidth, destWidth);
    AxisWeights down = MakeAxisWeights(sourceHeight, destHeight);

    std::vector<Rgb888> sourceRow(sourceWidth);
    std::vector<uint32_t> rowSums(static_cast<size_t>(sourceHeight) * destWidth * 3);
    for (int y = 0; y < sourceHeight; ++y) {
        fetchRow(y, sourceRow.data());
        uint32_t* sums = &rowSums[static_cast<size_t>(y) * destWidth * 3];
        for (int i = 0; i < destWidth; ++i) {
            uint32_t r = 0, g = 0, b = 0;
            const uint32_t* w = &across.weights[across.offset[i]];
            const Rgb888* px = &sourceRow[across.first[i]];
            for (int k = 0; k < across.count[i]; ++k) {
                r += px[k].r * w[k];
                g += px[k].g * w[k];
                b += px[k].b * w[k];
            }
            sums[i * 3] = r;
            sums[i * 3 + 1] = g;
            sums[i * 3 + 2] = b;
        }
    }

    const uint64_t total = static_cast<uint64_t>(sourceWidth) * static_cast<uint64_t>(sourceHeight);
    for (int j = 0; j < destHeight; ++j) {
        uint16_t* out = dest.Row(j);
        const uint32_t* w = &down.weights[down.offset[j]];
        for (int i = 0; i < destWidth; ++i) {
            uint64_t r = 0, g = 0, b = 0;
            for (int k = 0; k < down.count[j]; ++k) {
                const uint32_t* sums = &rowSums[(static_cast<size_t>(down.first[j] + k) * destWidth + i) * 3];
                r += static_cast<uint64_t>(sums[0]) * w[k];
                g += static_cast<uint64_t>(sums[1]) * w[k];
                b += static_cast<uint64_t>(sums[2]) * w[k];
            }
            out[i] = Rgb565FromRgb(static_cast<uint8_t>((r + total / 2) / total),
                                   static_cast<uint8_t>((g + total / 2) / total),
                                   static_cast<uint8_t>((b + total / 2) / total));
        }
    }
}

}  // namespace

std::optional<BlitArea> ClipBlit(int destWidth, int destHeight, int destX, int destY, int sourceWidth, int sourceHeight,
                                 const PixelRect& sourceRect) {
    // 64-bit throughout: positions come from layout files and the slide offset and may be far out of range.
    int64_t sx = sourceRect.x, sy = sourceRect.y, w = sourceRect.width, h = sourceRect.height;
    int64_t dx = destX, dy = destY;
    if (sx < 0) {
        dx -= sx;
        w += sx;
        sx = 0;
    }
    if (sy < 0) {
        dy -= sy;
        h += sy;
        sy = 0;
    }
    w = std::min(w, sourceWidth - sx);
    h = std::min(h, sourceHeight - sy);
    if (dx < 0) {
        sx -= dx;
        w += dx;
        dx = 0;
    }
    if (dy < 0) {
        sy -= dy;
        h += dy;
        dy = 0;
    }
    w = std::min(w, destWidth - dx);
    h = std::min(h, destHeight - dy);
    if (w <= 0 || h <= 0) {
        return std::nullopt;
    }
    return BlitArea{static_cast<int>(sx), static_cast<int>(sy), static_cast<int>(dx),
                    static_cast<int>(dy), static_cast<int>(w),  static_cast<int>(h)};
}

void FillRect565(Surface565 dest, const PixelRect& rect, uint16_t color) {
    Surface565 area = dest.Sub(rect);
    if (area.IsEmpty()) {
        return;
    }
    for (int y = 0; y < area.Height(); ++y) {
        std::fill_n(area.Row(y), area.Width(), color);
    }
}

void CopyOpaque565(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect) {
    std::optional<BlitArea> area = ClipFor(dest, destX, destY, source, sourceRect);
    if (!area) {
        return;
    }
    const size_t rowBytes = static_cast<size_t>(area->width) * 2;
    // Whole rows of two surfaces without padding (the skin into the frame) are one block of memory each: one
    // memcpy instead of one call a row.
    const bool isOneBlock = area->sourceX == 0 && area->destX == 0 && static_cast<size_t>(dest.Stride()) == rowBytes &&
                            static_cast<size_t>(source.Stride()) == rowBytes;
    if (isOneBlock) {
        RowPair rows = RowsOf(dest, source, *area, 0);
        std::memcpy(rows.dest, rows.source, rowBytes * area->height);
        return;
    }
    for (int y = 0; y < area->height; ++y) {
        RowPair rows = RowsOf(dest, source, *area, y);
        std::memcpy(rows.dest, rows.source, rowBytes);
    }
}

void CopyKeyed565(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect, uint16_t key) {
    std::optional<BlitArea> area = ClipFor(dest, destX, destY, source, sourceRect);
    if (!area) {
        return;
    }
    for (int y = 0; y < area->height; ++y) {
        RowPair rows = RowsOf(dest, source, *area, y);
        CopyKeyedRow(rows.dest, rows.source, area->width, key);
    }
}

void BlendConstant565(Surface565 dest, int destX, int destY, Surface565 source, const PixelRect& sourceRect,
                      uint8_t alpha) {
    if (alpha == 0) {
        return;
    }
    if (alpha == 255) {
        CopyOpaque565(dest, destX, destY, source, sourceRect);
        return;
    }
    std::optional<BlitArea> area = ClipFor(dest, destX, destY, source, sourceRect);
    if (!area) {
        return;
    }
    for (int y = 0; y < area->height; ++y) {
        RowPair rows = RowsOf(dest, source, *area, y);
        for (int x = 0; x < area->width; ++x) {
            rows.dest[x] = BlendPixel(rows.source[x], rows.dest[x], alpha);
        }
    }
}

bool ConvertBgr24To565(Surface565 dest, const Bgr24Image& source) {
    if (!source.IsValid()) {
        return false;
    }
    if (dest.IsEmpty()) {
        return true;
    }
    const int width = std::min(dest.Width(), source.width);
    const int height = std::min(dest.Height(), source.height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = source.Row(y);
        uint16_t* out = dest.Row(y);
        for (int x = 0; x < width; ++x) {
            out[x] = Rgb565FromRgb(in[x * 3 + 2], in[x * 3 + 1], in[x * 3]);
        }
    }
    return true;
}

bool StretchBgr24To565(Surface565 dest, const Bgr24Image& source) {
    if (!source.IsValid()) {
        return false;
    }
    if (dest.IsEmpty()) {
        return true;
    }
    StretchArea(dest, source.width, source.height, [&source](int y, Rgb888* out) {
        const uint8_t* in = source.Row(y);
        for (int x = 0; x < source.width; ++x) {
            out[x] = Rgb888{in[x * 3 + 2], in[x * 3 + 1], in[x * 3]};
        }
    });
    return true;
}

void StretchArea565(Surface565 dest, Surface565 source) {
    if (dest.IsEmpty() || source.IsEmpty()) {
        return;
    }
    StretchArea(dest, source.Width(), source.Height(), [&source](int y, Rgb888* out) {
        const uint16_t* in = source.Row(y);
        for (int x = 0; x < source.Width(); ++x) {
            out[x] = RgbFromRgb565(in[x]);
        }
    });
}

void StretchNearest565(Surface565 dest, Surface565 source) {
    if (dest.IsEmpty() || source.IsEmpty()) {
        return;
    }
    const int64_t sw = source.Width(), sh = source.Height(), dw = dest.Width(), dh = dest.Height();
    std::vector<int> columns(dest.Width());
    for (int64_t i = 0; i < dw; ++i) {
        columns[i] = static_cast<int>(((2 * i + 1) * sw) / (2 * dw));
    }
    for (int64_t j = 0; j < dh; ++j) {
        const uint16_t* in = source.Row(static_cast<int>(((2 * j + 1) * sh) / (2 * dh)));
        uint16_t* out = dest.Row(static_cast<int>(j));
        for (int i = 0; i < dest.Width(); ++i) {
            out[i] = in[columns[i]];
        }
    }
}

}  // namespace common
