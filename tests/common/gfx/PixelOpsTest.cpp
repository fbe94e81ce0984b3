// Pixel operations against per-pixel reference loops: clipping on every edge, keys, alpha, conversion, stretching.
#include "common/gfx/PixelOps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "common/gfx/Rgb565.h"

namespace {

using common::PixelRect;
using common::Surface565;

constexpr uint8_t kPadSentinel = 0xA5;
constexpr uint16_t kKey = 0x0000;

// A surface over raw bytes whose row padding and trailing guard are filled with a sentinel, so a write past a
// row's last pixel shows up even where ASan cannot see it.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height), m_stride(common::Stride565(width)) {
        m_bytes.assign(static_cast<size_t>(m_stride) * height + kGuard, kPadSentinel);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                View().Row(y)[x] = 0;
            }
        }
    }
    Surface565 View() { return Surface565(m_bytes.data(), m_width, m_height, m_stride); }
    uint16_t At(int x, int y) { return View().Row(y)[x]; }
    void Set(int x, int y, uint16_t value) { View().Row(y)[x] = value; }

    bool PaddingIntact() const {
        for (int y = 0; y < m_height; ++y) {
            for (int b = m_width * 2; b < m_stride; ++b) {
                if (m_bytes[static_cast<size_t>(y) * m_stride + b] != kPadSentinel) {
                    return false;
                }
            }
        }
        for (size_t i = static_cast<size_t>(m_stride) * m_height; i < m_bytes.size(); ++i) {
            if (m_bytes[i] != kPadSentinel) {
                return false;
            }
        }
        return true;
    }

    // Distinct non-key values; every `keyEvery`-th pixel (and long keyed runs when `withRuns`) is the key.
    void FillPattern(uint16_t seed, int keyEvery, bool withRuns) {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                uint16_t value = static_cast<uint16_t>(seed + y * 251 + x * 7 + 1);
                if (value == kKey) {
                    value = 1;
                }
                bool isKeyed = (keyEvery > 0 && (x + y) % keyEvery == 0) || (withRuns && (x / 16 + y) % 3 == 0);
                Set(x, y, isKeyed ? kKey : value);
            }
        }
    }

    std::vector<uint16_t> Pixels() {
        std::vector<uint16_t> pixels;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                pixels.push_back(At(x, y));
            }
        }
        return pixels;
    }

private:
    static constexpr size_t kGuard = 8;
    int m_width;
    int m_height;
    int m_stride;
    std::vector<uint8_t> m_bytes;
};

// The copy as the drawing code means it: destination pixel (x, y) takes source pixel (x - dx + r.x, y - dy + r.y)
// when that lies in both the source rectangle and the source.
void ReferenceCopy(Canvas& dest, int dx, int dy, Canvas& source, int sourceWidth, int sourceHeight, PixelRect r,
                   bool isKeyed, int destWidth, int destHeight) {
    for (int y = 0; y < destHeight; ++y) {
        for (int x = 0; x < destWidth; ++x) {
            int sx = x - dx + r.x;
            int sy = y - dy + r.y;
            bool inRect = sx >= r.x && sy >= r.y && sx < r.x + r.width && sy < r.y + r.height;
            bool inSource = sx >= 0 && sy >= 0 && sx < sourceWidth && sy < sourceHeight;
            if (inRect && inSource && !(isKeyed && source.At(sx, sy) == kKey)) {
                dest.Set(x, y, source.At(sx, sy));
            }
        }
    }
}

struct CopyCase {
    const char* name;
    int destWidth, destHeight;
    int sourceWidth, sourceHeight;
    PixelRect sourceRect;
    int destX, destY;
};

const CopyCase kCopyCases[] = {
    {"InsideBoth", 20, 12, 7, 5, {0, 0, 7, 5}, 3, 2},
    {"PartOfSource", 20, 12, 7, 5, {2, 1, 3, 3}, 0, 0},
    {"OverLeftEdge", 20, 12, 7, 5, {0, 0, 7, 5}, -3, 2},
    {"OverTopEdge", 20, 12, 7, 5, {0, 0, 7, 5}, 3, -4},
    {"OverRightEdge", 20, 12, 7, 5, {0, 0, 7, 5}, 17, 2},
    {"OverBottomEdge", 20, 12, 7, 5, {0, 0, 7, 5}, 3, 10},
    {"OverTopLeftCorner", 20, 12, 7, 5, {0, 0, 7, 5}, -6, -4},
    {"OverBottomRightCorner", 20, 12, 7, 5, {0, 0, 7, 5}, 19, 11},
    {"WhollyLeft", 20, 12, 7, 5, {0, 0, 7, 5}, -7, 0},
    {"WhollyBelow", 20, 12, 7, 5, {0, 0, 7, 5}, 0, 12},
    {"SourceLargerThanDest", 9, 5, 33, 17, {0, 0, 33, 17}, -4, -3},
    {"RectStartsLeftOfSource", 20, 12, 7, 5, {-3, -2, 7, 5}, 5, 5},
    {"RectEndsPastSource", 20, 12, 7, 5, {4, 3, 10, 10}, 1, 1},
    {"EmptyRect", 20, 12, 7, 5, {1, 1, 0, 3}, 1, 1},
    {"NegativeRectSize", 20, 12, 7, 5, {1, 1, -3, 3}, 1, 1},
    {"OnePixelIntoOnePixel", 1, 1, 1, 1, {0, 0, 1, 1}, 0, 0},
    {"OnePixelOffOnePixel", 1, 1, 1, 1, {0, 0, 1, 1}, 1, 0},
    {"OddWidthsWithLongRuns", 51, 9, 45, 7, {0, 0, 45, 7}, 3, 1},
    {"WideRowsClippedBothSides", 40, 4, 64, 4, {0, 0, 64, 4}, -9, 0},
    // Rows without padding on both sides are copied as one block: it must still start and stop at the clipped rows.
    {"UnpaddedWholeRowsShiftedDown", 20, 12, 20, 12, {0, 0, 20, 12}, 0, 5},
    {"UnpaddedWholeRowsShiftedUp", 20, 12, 20, 12, {0, 0, 20, 12}, 0, -4},
    {"UnpaddedRowsOfAPart", 20, 12, 20, 12, {0, 3, 20, 4}, 0, 2},
    {"ExtremeOffsets", 20, 12, 7, 5, {0, 0, 7, 5}, 2147483000, -2147483000},
    {"ExtremeRect", 20, 12, 7, 5, {-2147483000, 0, 2147483647, 5}, 0, 0},
};

class CopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(CopyTest, OpaqueCopyMatchesReferenceAndStaysInside) {
    const CopyCase& c = GetParam();
    Canvas source(c.sourceWidth, c.sourceHeight);
    source.FillPattern(100, 5, true);
    Canvas dest(c.destWidth, c.destHeight);
    dest.FillPattern(9000, 0, false);
    Canvas expected(c.destWidth, c.destHeight);
    expected.FillPattern(9000, 0, false);

    common::CopyOpaque565(dest.View(), c.destX, c.destY, source.View(), c.sourceRect);
    ReferenceCopy(expected, c.destX, c.destY, source, c.sourceWidth, c.sourceHeight, c.sourceRect, false, c.destWidth,
                  c.destHeight);

    EXPECT_EQ(dest.Pixels(), expected.Pixels());
    EXPECT_TRUE(dest.PaddingIntact());
}

TEST_P(CopyTest, KeyedCopySkipsKeyPixelsOnly) {
    const CopyCase& c = GetParam();
    Canvas source(c.sourceWidth, c.sourceHeight);
    source.FillPattern(100, 5, true);
    Canvas dest(c.destWidth, c.destHeight);
    dest.FillPattern(9000, 0, false);
    Canvas expected(c.destWidth, c.destHeight);
    expected.FillPattern(9000, 0, false);

    common::CopyKeyed565(dest.View(), c.destX, c.destY, source.View(), c.sourceRect, kKey);
    ReferenceCopy(expected, c.destX, c.destY, source, c.sourceWidth, c.sourceHeight, c.sourceRect, true, c.destWidth,
                  c.destHeight);

    EXPECT_EQ(dest.Pixels(), expected.Pixels());
    EXPECT_TRUE(dest.PaddingIntact());
}

INSTANTIATE_TEST_SUITE_P(PixelOps, CopyTest, ::testing::ValuesIn(kCopyCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelOps, KeyedCopyHonoursAKeyOtherThanBlack) {
    const uint16_t magenta = common::Rgb565FromRgb(255, 0, 255);
    Canvas source(37, 2);
    for (int x = 0; x < 37; ++x) {
        source.Set(x, 0, x < 20 ? magenta : 0);
        source.Set(x, 1, x % 2 ? magenta : 0x1234);
    }
    Canvas dest(37, 2);
    dest.FillPattern(500, 0, false);
    std::vector<uint16_t> before = dest.Pixels();

    common::CopyKeyed565(dest.View(), 0, 0, source.View(), common::WholeOf(source.View()), magenta);

    for (int x = 0; x < 37; ++x) {
        EXPECT_EQ(dest.At(x, 0), x < 20 ? before[x] : 0) << x;
        EXPECT_EQ(dest.At(x, 1), x % 2 ? before[37 + x] : 0x1234) << x;
    }
}

// The keyed copy takes rows 32 pixels at a time and falls back to 8-pixel blocks where a group holds a key:
// groups wholly drawn, with one key pixel at either end, wholly keyed, and a tail shorter than a block.
TEST(PixelOps, KeyedCopyOfLongRowsMatchesPixelByPixel) {
    constexpr int kWidth = 32 * 4 + 8 + 5;
    Canvas source(kWidth, 1);
    for (int x = 0; x < kWidth; ++x) {
        bool isKey = x == 32 || x == 95 || (x >= 96 && x < 128) || x == kWidth - 2;
        source.Set(x, 0, isKey ? kKey : static_cast<uint16_t>(0x0841 + x));
    }
    Canvas dest(kWidth, 1);
    dest.FillPattern(700, 0, false);
    std::vector<uint16_t> before = dest.Pixels();

    common::CopyKeyed565(dest.View(), 0, 0, source.View(), common::WholeOf(source.View()), kKey);

    for (int x = 0; x < kWidth; ++x) {
        EXPECT_EQ(dest.At(x, 0), source.At(x, 0) == kKey ? before[x] : source.At(x, 0)) << x;
    }
    EXPECT_TRUE(dest.PaddingIntact());
}

struct FillCase {
    const char* name;
    PixelRect rect;
};

const FillCase kFillCases[] = {
    {"Inside", {2, 1, 4, 3}},
    {"OverLeftTop", {-2, -1, 4, 3}},
    {"OverRightBottom", {8, 5, 10, 10}},
    {"Whole", {-5, -5, 100, 100}},
    {"Outside", {11, 0, 3, 3}},
    {"Empty", {2, 2, 0, 0}},
    {"OnePixel", {10, 6, 1, 1}},
    {"ExtremeSize", {3, 3, 2147483647, 2147483647}},
};

class FillTest : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillTest, FillsExactlyTheClippedRectangle) {
    const PixelRect r = GetParam().rect;
    Canvas canvas(11, 7);
    canvas.FillPattern(3, 0, false);
    std::vector<uint16_t> before = canvas.Pixels();

    common::FillRect565(canvas.View(), r, 0xBEEF);

    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 11; ++x) {
            bool isInside = x >= r.x && y >= r.y && x - r.x < r.width && y - r.y < r.height;
            EXPECT_EQ(canvas.At(x, y), isInside ? 0xBEEF : before[y * 11 + x]) << x << "," << y;
        }
    }
    EXPECT_TRUE(canvas.PaddingIntact());
}

INSTANTIATE_TEST_SUITE_P(PixelOps, FillTest, ::testing::ValuesIn(kFillCases),
                         [](const auto& info) { return std::string(info.param.name); });

// What GDI's AlphaBlend does with a constant alpha on 5-6-5 pixels: widen to 8 bits, blend, truncate.
uint16_t GdiStyleBlend(uint16_t source, uint16_t dest, int alpha) {
    common::Rgb888 s = common::RgbFromRgb565(source);
    common::Rgb888 d = common::RgbFromRgb565(dest);
    auto mix = [alpha](int a, int b) { return static_cast<uint8_t>((a * alpha + b * (255 - alpha)) / 255); };
    return common::Rgb565FromRgb(mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b));
}

int ChannelDistance(uint16_t a, uint16_t b) {
    int dr = std::abs((a >> 11) - (b >> 11));
    int dg = std::abs(((a >> 5) & 0x3F) - ((b >> 5) & 0x3F));
    int db = std::abs((a & 0x1F) - (b & 0x1F));
    return std::max(dr, std::max(dg, db));
}

class BlendTest : public ::testing::TestWithParam<int> {};

TEST_P(BlendTest, AgreesWithGdiWithinOneStepPerChannel) {
    const int alpha = GetParam();
    std::mt19937 random(alpha);
    Canvas source(64, 64);
    Canvas dest(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            source.Set(x, y, static_cast<uint16_t>(random()));
            dest.Set(x, y, static_cast<uint16_t>(random()));
        }
    }
    std::vector<uint16_t> sourcePixels = source.Pixels();
    std::vector<uint16_t> destPixels = dest.Pixels();

    common::BlendConstant565(dest.View(), 0, 0, source.View(), common::WholeOf(source.View()),
                             static_cast<uint8_t>(alpha));

    std::vector<uint16_t> blended = dest.Pixels();
    for (size_t i = 0; i < blended.size(); ++i) {
        if (alpha == 0) {
            ASSERT_EQ(blended[i], destPixels[i]);
        } else if (alpha == 255) {
            ASSERT_EQ(blended[i], sourcePixels[i]);
        } else {
            ASSERT_LE(ChannelDistance(blended[i], GdiStyleBlend(sourcePixels[i], destPixels[i], alpha)), 1)
                << "pixel " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(PixelOps, BlendTest, ::testing::Values(0, 1, 64, 127, 128, 200, 254, 255));

TEST(PixelOps, BlendIsClippedLikeACopy) {
    Canvas source(5, 5);
    source.FillPattern(7, 0, false);
    Canvas dest(6, 4);
    std::vector<uint16_t> before = dest.Pixels();

    common::BlendConstant565(dest.View(), 3, -2, source.View(), common::WholeOf(source.View()), 128);

    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            bool isCovered = x >= 3 && y < 3;
            EXPECT_EQ(dest.At(x, y) != before[y * 6 + x], isCovered && source.At(x - 3, y + 2) != 0) << x << "," << y;
        }
    }
    EXPECT_TRUE(dest.PaddingIntact());
}

// A 24-bit image with its own padded rows, bottom-up or top-down, from a function of (x, y).
struct Bgr24Buffer {
    std::vector<uint8_t> bytes;
    common::Bgr24Image image;

    template <typename ColorAt>
    Bgr24Buffer(int width, int height, bool isBottomUp, ColorAt colorAt) {
        int stride = (width * 3 + 3) & ~3;
        bytes.assign(static_cast<size_t>(stride) * height, 0xCC);
        image = common::Bgr24Image{bytes.data(), width, height, stride, isBottomUp};
        for (int y = 0; y < height; ++y) {
            uint8_t* row = const_cast<uint8_t*>(image.Row(y));
            for (int x = 0; x < width; ++x) {
                common::Rgb888 c = colorAt(x, y);
                row[x * 3] = c.b;
                row[x * 3 + 1] = c.g;
                row[x * 3 + 2] = c.r;
            }
        }
    }
};

common::Rgb888 Gradient(int x, int y) {
    return common::Rgb888{static_cast<uint8_t>(x * 37), static_cast<uint8_t>(y * 53), static_cast<uint8_t>(x * y)};
}

class ConvertTest : public ::testing::TestWithParam<bool> {};

TEST_P(ConvertTest, ConvertsEveryPixelInImageOrder) {
    Bgr24Buffer buffer(5, 3, GetParam(), Gradient);
    Canvas dest(5, 3);

    ASSERT_TRUE(common::ConvertBgr24To565(dest.View(), buffer.image));

    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            common::Rgb888 c = Gradient(x, y);
            EXPECT_EQ(dest.At(x, y), common::Rgb565FromRgb(c.r, c.g, c.b)) << x << "," << y;
        }
    }
    EXPECT_TRUE(dest.PaddingIntact());
}

INSTANTIATE_TEST_SUITE_P(PixelOps, ConvertTest, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "BottomUp" : "TopDown"); });

TEST(PixelOps, ConvertRejectsAStrideShorterThanARow) {
    uint8_t bytes[16] = {};
    Canvas dest(2, 2);
    EXPECT_FALSE(common::ConvertBgr24To565(dest.View(), common::Bgr24Image{bytes, 2, 2, 5, false}));
}

struct StretchCase {
    const char* name;
    int sourceWidth, sourceHeight, destWidth, destHeight;
};

const StretchCase kStretchCases[] = {
    {"Same", 7, 5, 7, 5},           {"HalveEach", 8, 6, 4, 3},           {"OnePixelToPage", 1, 1, 300, 360},
    {"LineToPage", 1, 9, 300, 360}, {"PhotoToPage", 640, 480, 300, 360}, {"SlightlyLarger", 299, 361, 300, 360},
    {"ToOnePixel", 33, 17, 1, 1},   {"OddUpscale", 3, 2, 7, 5},
};

class StretchTest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StretchTest, UniformColourFillsTheWholeDestination) {
    const StretchCase& c = GetParam();
    Bgr24Buffer buffer(c.sourceWidth, c.sourceHeight, true, [](int, int) { return common::Rgb888{200, 120, 40}; });
    Canvas dest(c.destWidth, c.destHeight);

    ASSERT_TRUE(common::StretchBgr24To565(dest.View(), buffer.image));

    for (uint16_t pixel : dest.Pixels()) {
        ASSERT_EQ(pixel, common::Rgb565FromRgb(200, 120, 40));
    }
    EXPECT_TRUE(dest.PaddingIntact());
}

TEST_P(StretchTest, NearestTakesOnlySourceColours) {
    const StretchCase& c = GetParam();
    Canvas source(c.sourceWidth, c.sourceHeight);
    source.FillPattern(40, 3, false);
    std::vector<uint16_t> sourcePixels = source.Pixels();
    std::sort(sourcePixels.begin(), sourcePixels.end());
    Canvas dest(c.destWidth, c.destHeight);
    dest.FillPattern(0xF000, 0, false);

    common::StretchNearest565(dest.View(), source.View());

    for (uint16_t pixel : dest.Pixels()) {
        ASSERT_TRUE(std::binary_search(sourcePixels.begin(), sourcePixels.end(), pixel)) << pixel;
    }
    EXPECT_TRUE(dest.PaddingIntact());
}

INSTANTIATE_TEST_SUITE_P(PixelOps, StretchTest, ::testing::ValuesIn(kStretchCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelOps, AreaStretchAveragesEachCoveredBlockWhenShrinking) {
    // 4 x 2 to 2 x 1: each destination pixel is the mean of a 2 x 2 block.
    const uint8_t reds[2][4] = {{0, 40, 200, 248}, {80, 120, 8, 0}};
    Bgr24Buffer buffer(4, 2, false, [&reds](int x, int y) { return common::Rgb888{reds[y][x], 0, 0}; });
    Canvas dest(2, 1);

    common::StretchBgr24To565(dest.View(), buffer.image);

    EXPECT_EQ(dest.At(0, 0), common::Rgb565FromRgb(60, 0, 0));
    EXPECT_EQ(dest.At(1, 0), common::Rgb565FromRgb(114, 0, 0));
}

TEST(PixelOps, AreaStretchRepeatsPixelsExactlyForAWholeFactor) {
    Canvas source(3, 2);
    source.FillPattern(0x4321, 0, false);
    Canvas dest(9, 4);

    common::StretchArea565(dest.View(), source.View());

    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 9; ++x) {
            EXPECT_EQ(dest.At(x, y), source.At(x / 3, y / 2)) << x << "," << y;
        }
    }
}

TEST(PixelOps, AreaStretchBlendsAcrossASeamInsteadOfPickingASide) {
    Bgr24Buffer buffer(2, 1, false, [](int x, int) { return common::Rgb888{static_cast<uint8_t>(x * 248), 0, 0}; });
    Canvas dest(3, 1);

    common::StretchBgr24To565(dest.View(), buffer.image);

    EXPECT_EQ(dest.At(0, 0), common::Rgb565FromRgb(0, 0, 0));
    EXPECT_EQ(dest.At(1, 0), common::Rgb565FromRgb(124, 0, 0));
    EXPECT_EQ(dest.At(2, 0), common::Rgb565FromRgb(248, 0, 0));
}

TEST(PixelOps, EmptySurfacesAreLeftAlone) {
    Canvas canvas(3, 3);
    canvas.FillPattern(1, 0, false);
    std::vector<uint16_t> before = canvas.Pixels();
    Surface565 empty;

    common::CopyOpaque565(canvas.View(), 0, 0, empty, {0, 0, 3, 3});
    common::CopyKeyed565(empty, 0, 0, canvas.View(), {0, 0, 3, 3}, 0);
    common::FillRect565(empty, {0, 0, 3, 3}, 1);
    common::StretchNearest565(canvas.View(), empty);
    common::StretchArea565(empty, canvas.View());

    EXPECT_EQ(canvas.Pixels(), before);
}

}  // namespace
