// The prepared keyed picture against the keyed copy it stands in for: every block size, runs at the edges, clipping
// on every side, parts of the picture, destinations inside larger pictures.
#include "common/gfx/KeyedSprite565.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/gfx/PixelOps.h"

namespace {

using common::Bitmap565;
using common::KeyedSprite565;
using common::PixelRect;
using common::Surface565;

constexpr uint16_t kKey = 0;
constexpr int kBorder = 3;  // the destination is a window into a larger picture, so strays beyond it show
constexpr int kDestWidth = 41;
constexpr int kDestHeight = 29;

enum class Art {
    Round,           // one run a row, of every length from 1 up: every block size and overlap
    Scattered,       // a key pixel every third: runs of two
    RunsAtTheEdges,  // each row's first and last pixels drawn, key between
    Stripes,         // runs of 1 to 17 pixels with key gaps between
    AllKey,
    NoKey,
};

void Paint(Surface565 picture, Art art) {
    const int w = picture.Width();
    const int h = picture.Height();
    for (int y = 0; y < h; ++y) {
        int stripe = 0;
        int left = 1;
        for (int x = 0; x < w; ++x) {
            uint16_t value = static_cast<uint16_t>(0x0841 + x * 37 + y * 101) | 1;
            bool isKey = false;
            switch (art) {
                case Art::Round: {
                    int dx = 2 * x + 1 - w;
                    int dy = 2 * y + 1 - h;
                    isKey = dx * dx + dy * dy > w * w;
                    break;
                }
                case Art::Scattered:
                    isKey = (x + y) % 3 == 0;
                    break;
                case Art::RunsAtTheEdges:
                    isKey = x != 0 && x != w - 1;
                    break;
                case Art::Stripes:
                    // Runs of 1 to 17 pixels, changing with row and stripe, between gaps of 2.
                    isKey = left <= 0;
                    if (--left < -1) {
                        ++stripe;
                        left = (y + stripe * 3) % 17 + 1;
                    }
                    break;
                case Art::AllKey:
                    isKey = true;
                    break;
                case Art::NoKey:
                    break;
            }
            picture.Row(y)[x] = isKey ? kKey : value;
        }
    }
}

struct SpriteCase {
    const char* name;
    Art art;
    int width, height;
    int destX, destY;
    PixelRect sourceRect;  // width 0: the whole picture
};

const SpriteCase kSpriteCases[] = {
    {"RoundInside", Art::Round, 24, 20, 5, 4, {}},
    {"RoundOddWidthInside", Art::Round, 17, 13, 0, 0, {}},
    {"RoundAtBottomRightCorner", Art::Round, 24, 20, kDestWidth - 24, kDestHeight - 20, {}},
    {"RoundOverLeftEdge", Art::Round, 24, 20, -7, 3, {}},
    {"RoundOverRightEdge", Art::Round, 24, 20, kDestWidth - 9, 3, {}},
    {"RoundOverTopEdge", Art::Round, 24, 20, 6, -11, {}},
    {"RoundOverBottomEdge", Art::Round, 24, 20, 6, kDestHeight - 5, {}},
    {"RoundOverEveryEdge", Art::Round, 60, 50, -9, -8, {}},
    {"RoundWhollyOutside", Art::Round, 24, 20, kDestWidth, 0, {}},
    {"RoundPart", Art::Round, 24, 20, 2, 2, {5, 3, 13, 11}},
    {"RoundPartOverLeftEdge", Art::Round, 24, 20, -3, 2, {5, 3, 13, 11}},
    {"RoundPartPastThePicture", Art::Round, 24, 20, 2, 2, {-4, 10, 40, 40}},
    {"ScatteredInside", Art::Scattered, 33, 9, 4, 10, {}},
    {"ScatteredOverRightEdge", Art::Scattered, 33, 9, 20, 10, {}},
    {"RunsTouchingTheEdgesInside", Art::RunsAtTheEdges, 19, 7, 0, 0, {}},
    {"RunsTouchingTheEdgesCutAtBoth", Art::RunsAtTheEdges, 45, 7, -1, 2, {}},
    {"RunsTouchingTheEdgesCutInside", Art::RunsAtTheEdges, 19, 7, 3, 3, {1, 0, 17, 7}},
    {"StripesInside", Art::Stripes, 40, 28, 1, 1, {}},
    {"StripesOverLeftEdge", Art::Stripes, 40, 28, -13, 0, {}},
    {"AllKeyInside", Art::AllKey, 16, 16, 2, 2, {}},
    {"AllKeyClipped", Art::AllKey, 16, 16, -2, -2, {}},
    {"NoKeyWholeDestination", Art::NoKey, kDestWidth, kDestHeight, 0, 0, {}},
    {"NoKeyOnePixel", Art::NoKey, 1, 1, kDestWidth - 1, kDestHeight - 1, {}},
    {"NoKeyOnePixelJustOutside", Art::NoKey, 1, 1, kDestWidth, kDestHeight - 1, {}},
    {"ExtremeOffsets", Art::NoKey, 7, 5, 2147483000, -2147483000, {}},
};

class KeyedSpriteTest : public ::testing::TestWithParam<SpriteCase> {};

// A background picture with a destination window inside it, drawn with the sprite and with the keyed copy.
std::vector<uint16_t> DrawOnBackground(const SpriteCase& c, bool isSprite) {
    Bitmap565 picture(c.width, c.height);
    Paint(picture.View(), c.art);
    Bitmap565 canvas(kDestWidth + 2 * kBorder, kDestHeight + 2 * kBorder);
    Paint(canvas.View(), Art::NoKey);
    Surface565 dest = canvas.View().Sub(PixelRect{kBorder, kBorder, kDestWidth, kDestHeight});
    const bool isWhole = c.sourceRect.width == 0;
    const PixelRect rect = isWhole ? common::WholeOf(picture.View()) : c.sourceRect;
    if (isSprite) {
        KeyedSprite565 sprite;
        sprite.Build(picture.View(), kKey);
        // The sprite's pixels are its own: what happens to the picture afterwards does not show.
        common::FillRect565(picture.View(), common::WholeOf(picture.View()), 0x1234);
        if (isWhole) {
            sprite.Draw(dest, c.destX, c.destY);
        } else {
            sprite.Draw(dest, c.destX, c.destY, rect);
        }
    } else {
        common::CopyKeyed565(dest, c.destX, c.destY, picture.View(), rect, kKey);
    }
    std::vector<uint16_t> pixels;
    for (int y = 0; y < canvas.View().Height(); ++y) {
        const uint16_t* row = canvas.View().Row(y);
        pixels.insert(pixels.end(), row, row + canvas.View().Width());
    }
    return pixels;
}

TEST_P(KeyedSpriteTest, DrawsWhatTheKeyedCopyDraws) {
    EXPECT_EQ(DrawOnBackground(GetParam(), true), DrawOnBackground(GetParam(), false));
}

INSTANTIATE_TEST_SUITE_P(KeyedSprite565, KeyedSpriteTest, ::testing::ValuesIn(kSpriteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(KeyedSprite565, EmptyPicturesAndDestinationsDrawNothing) {
    KeyedSprite565 sprite;
    sprite.Build(Surface565(), kKey);
    EXPECT_TRUE(sprite.IsEmpty());
    Bitmap565 canvas(8, 8);
    common::FillRect565(canvas.View(), common::WholeOf(canvas.View()), 0x4321);
    sprite.Draw(canvas.View(), 0, 0);
    EXPECT_EQ(canvas.View().PixelAt(0, 0), 0x4321);

    Bitmap565 picture(4, 4);
    common::FillRect565(picture.View(), common::WholeOf(picture.View()), 0x0FF0);
    sprite.Build(picture.View(), kKey);
    sprite.Draw(Surface565(), 0, 0);
    sprite.Draw(canvas.View(), 2, 2, PixelRect{0, 0, 0, 4});
    EXPECT_EQ(canvas.View().PixelAt(3, 3), 0x4321);
}

// A key other than black, and a sprite built again from another picture: nothing of the first one remains.
TEST(KeyedSprite565, RebuildingReplacesRunsAndKey) {
    const uint16_t magenta = 0xF81F;
    Bitmap565 first(9, 2);
    common::FillRect565(first.View(), common::WholeOf(first.View()), 0x1111);
    Bitmap565 second(3, 1);
    second.View().Row(0)[0] = magenta;
    second.View().Row(0)[1] = 0;
    second.View().Row(0)[2] = magenta;
    KeyedSprite565 sprite;
    sprite.Build(first.View(), kKey);
    sprite.Build(second.View(), magenta);
    Bitmap565 canvas(9, 2);
    common::FillRect565(canvas.View(), common::WholeOf(canvas.View()), 0x2222);

    sprite.Draw(canvas.View(), 0, 0);

    EXPECT_EQ(sprite.Width(), 3);
    EXPECT_EQ(canvas.View().PixelAt(0, 0), 0x2222);
    EXPECT_EQ(canvas.View().PixelAt(1, 0), 0);
    EXPECT_EQ(canvas.View().PixelAt(2, 0), 0x2222);
    EXPECT_EQ(canvas.View().PixelAt(5, 0), 0x2222);
    EXPECT_EQ(canvas.View().PixelAt(0, 1), 0x2222);
}

}  // namespace
