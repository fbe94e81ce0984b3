// 16-bit RGB 5-6-5 pixel surfaces: a non-owning view over any pixel memory, and an owner for portable code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace common {

// A rectangle by origin and size, in pixels; an empty one has width or height <= 0.
struct PixelRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Row length in bytes of a 5-6-5 surface: two bytes a pixel, rows padded to a multiple of 4 bytes (the DIB rule).
constexpr int Stride565(int width) {
    return (width * 2 + 3) & ~3;
}

// A view of top-down 5-6-5 pixels: `bits` is the first pixel of row 0, each row `stride` bytes after the one
// before. The view owns nothing; the memory must outlive it. A default view is empty and every operation on it
// does nothing.
class Surface565 {
public:
    Surface565() = default;
    Surface565(void* bits, int width, int height, int stride)
        : m_bits(static_cast<uint8_t*>(bits)), m_width(width), m_height(height), m_stride(stride) {
        if (m_bits == nullptr || width <= 0 || height <= 0 || stride < width * 2) {
            *this = Surface565();
        }
    }

    bool IsEmpty() const { return m_bits == nullptr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }
    uint8_t* Bits() const { return m_bits; }

    // y must lie in [0, Height()).
    uint16_t* Row(int y) const { return reinterpret_cast<uint16_t*>(m_bits + static_cast<ptrdiff_t>(y) * m_stride); }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_width && y < m_height; }
    // Out-of-range coordinates read as 0 rather than outside the memory.
    uint16_t PixelAt(int x, int y) const { return Contains(x, y) ? Row(y)[x] : 0; }

    // The part of this surface inside `rect` (clipped to it), sharing this surface's memory; empty when they do
    // not overlap.
    Surface565 Sub(const PixelRect& rect) const;

private:
    uint8_t* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};

// Pixel memory owned by portable code (tests, benchmarks, intermediate images); contents start black.
class Bitmap565 {
public:
    Bitmap565() = default;
    Bitmap565(int width, int height) { Create(width, height); }

    // False (and empty) for a size that is not positive or too large for 32-bit offsets.
    bool Create(int width, int height);
    Surface565 View() { return m_view; }
    Surface565 View() const { return m_view; }

private:
    std::vector<uint16_t> m_pixels;  // strides are multiples of 4 bytes, so every row stays aligned
    Surface565 m_view;
};

}  // namespace common
