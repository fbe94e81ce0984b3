// Surface geometry: DIB row padding, sub-views and colour conversion.
#include "common/gfx/Surface565.h"

#include <gtest/gtest.h>

#include "common/gfx/Rgb565.h"

namespace {

TEST(Surface565, PadsRowsToFourBytes) {
    const int expected[][2] = {{1, 4}, {2, 4}, {3, 8}, {4, 8}, {5, 12}, {299, 600}, {330, 660}};
    for (const auto& row : expected) {
        EXPECT_EQ(common::Stride565(row[0]), row[1]) << row[0];
        common::Bitmap565 bitmap(row[0], 2);
        EXPECT_EQ(bitmap.View().Stride(), row[1]) << row[0];
    }
}

TEST(Surface565, RefusesSizesThatAreNotPositive) {
    common::Bitmap565 bitmap;
    EXPECT_FALSE(bitmap.Create(0, 5));
    EXPECT_FALSE(bitmap.Create(5, -1));
    EXPECT_TRUE(bitmap.View().IsEmpty());
}

TEST(Surface565, SubViewIsClippedAndSharesMemory) {
    common::Bitmap565 bitmap(7, 5);
    common::Surface565 whole = bitmap.View();

    common::Surface565 sub = whole.Sub({5, 3, 10, 10});
    ASSERT_FALSE(sub.IsEmpty());
    EXPECT_EQ(sub.Width(), 2);
    EXPECT_EQ(sub.Height(), 2);
    sub.Row(1)[1] = 0x1234;
    EXPECT_EQ(whole.PixelAt(6, 4), 0x1234);

    EXPECT_TRUE(whole.Sub({7, 0, 1, 1}).IsEmpty());
    EXPECT_TRUE(whole.Sub({-3, -3, 3, 3}).IsEmpty());
    EXPECT_EQ(whole.Sub({-3, -3, 4, 4}).Width(), 1);
}

TEST(Surface565, PixelAtReadsZeroOutsideInsteadOfOutOfBounds) {
    common::Bitmap565 bitmap(1, 1);
    bitmap.View().Row(0)[0] = 0xFFFF;
    EXPECT_EQ(bitmap.View().PixelAt(0, 0), 0xFFFF);
    EXPECT_EQ(bitmap.View().PixelAt(1, 0), 0);
    EXPECT_EQ(bitmap.View().PixelAt(0, -1), 0);
}

struct ColorCase {
    uint32_t colorRef;
    uint16_t expected;
};

TEST(Rgb565, ConvertsWindowsColourValuesRedInTheLowByte) {
    const ColorCase cases[] =
        {
            {0x00000000, 0x0000}, {0x00FFFFFF, 0xFFFF}, {0x000000FF, 0xF800},
            {0x0000FF00, 0x07E0}, {0x00FF0000, 0x001F}, {0x00FF00FF, 0xF81F},
            {0x00080408, 0x0821}, {0x00070307, 0x0000}, {0xFF0000FF, 0xF800},  // the top byte carries no colour
        };
    for (const ColorCase& c : cases) {
        EXPECT_EQ(common::Rgb565FromColorRef(c.colorRef), c.expected) << std::hex << c.colorRef;
    }
}

TEST(Rgb565, WideningThenNarrowingGivesEveryPixelBack) {
    for (uint32_t pixel = 0; pixel <= 0xFFFF; ++pixel) {
        common::Rgb888 wide = common::RgbFromRgb565(static_cast<uint16_t>(pixel));
        ASSERT_EQ(common::Rgb565FromRgb(wide.r, wide.g, wide.b), pixel);
    }
    EXPECT_EQ(common::RgbFromRgb565(0xFFFF).r, 255);
}

}  // namespace
