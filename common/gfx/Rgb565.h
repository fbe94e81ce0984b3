// Colour conversion between 8-bit channels, Windows colour values (0x00BBGGRR) and 16-bit RGB 5-6-5.
#pragma once

#include <cstdint>

namespace common {

// Truncates each channel, as GDI does when it writes into a 5-6-5 DIB.
constexpr uint16_t Rgb565FromRgb(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

// `color` is a Windows COLORREF: red in the low byte, blue in the third; the top byte is ignored.
constexpr uint16_t Rgb565FromColorRef(uint32_t color) {
    return Rgb565FromRgb(static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
                         static_cast<uint8_t>(color >> 16));
}

// Widening replicates the top bits into the low ones, so 0x1F becomes 255 and 0 stays 0.
struct Rgb888 {
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

constexpr Rgb888 RgbFromRgb565(uint16_t pixel) {
    uint32_t r5 = (pixel >> 11) & 0x1F;
    uint32_t g6 = (pixel >> 5) & 0x3F;
    uint32_t b5 = pixel & 0x1F;
    return Rgb888{static_cast<uint8_t>((r5 << 3) | (r5 >> 2)), static_cast<uint8_t>((g6 << 2) | (g6 >> 4)),
                  static_cast<uint8_t>((b5 << 3) | (b5 >> 2))};
}

}  // namespace common
