// GPicture on real DIB sections: pixel layout as GDI sees it, keyed drawing, text and icons reaching the memory.
#include "launcher/controls/GPicture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/gfx/Rgb565.h"

namespace {

uint16_t PixelOf(const GPicture& picture, int x, int y) {
    return picture.Surface().PixelAt(x, y);
}

TEST(GPicture, CreatesABlackTopDown565Bitmap) {
    GPicture picture;
    ASSERT_TRUE(picture.Create(5, 3));
    EXPECT_EQ(picture.GetState(), GPicture::State::Own);
    EXPECT_EQ(picture.Surface().Stride(), 12);

    // GDI's view of the same memory: the pixel written at the top row is row 0 for GDI too, red in the top bits.
    picture.FillRect(0, 0, 1, 1, RGB(255, 0, 0));
    DIBSECTION section = {};
    ASSERT_EQ(::GetObjectW(picture.Bitmap(), sizeof(section), &section), static_cast<int>(sizeof(section)));
    EXPECT_EQ(section.dsBmih.biBitCount, 16);
    EXPECT_EQ(section.dsBitfields[0], 0xF800u);
    EXPECT_EQ(static_cast<const uint16_t*>(section.dsBm.bmBits)[0], 0xF800);
    platform::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    HGDIOBJ old = ::SelectObject(dc.get(), picture.Bitmap());
    EXPECT_EQ(::GetPixel(dc.get(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(::GetPixel(dc.get(), 0, 2), RGB(0, 0, 0));
    ::SelectObject(dc.get(), old);
}

TEST(GPicture, RefusesEmptySizesAndThenDrawsNothing) {
    GPicture picture;
    EXPECT_FALSE(picture.Create(0, 10));
    EXPECT_TRUE(picture.IsEmpty());
    GPicture target;
    ASSERT_TRUE(target.Create(4, 4));
    target.DrawPicture(0, 0, picture, false);
    picture.FillRect(0, 0, 4, 4, RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(target, 0, 0), 0);
}

TEST(GPicture, TransparentDrawSkipsTheSourceKeyColour) {
    GPicture source;
    ASSERT_TRUE(source.Create(3, 2));
    source.SetKeyColor(RGB(255, 0, 255));
    source.FillRect(0, 0, 3, 2, RGB(255, 0, 255));
    source.FillRect(1, 0, 1, 2, RGB(0, 255, 0));
    GPicture target;
    ASSERT_TRUE(target.Create(4, 4));
    target.FillRect(0, 0, 4, 4, RGB(0, 0, 255));

    target.DrawPicture(-1, 1, source, true);

    EXPECT_EQ(PixelOf(target, 0, 1), 0x07E0);
    EXPECT_EQ(PixelOf(target, 1, 1), 0x001F);
    EXPECT_EQ(PixelOf(target, 0, 2), 0x07E0);
    EXPECT_EQ(PixelOf(target, 0, 0), 0x001F);
    EXPECT_TRUE(source.IsKeyPixel(0, 0));
    EXPECT_FALSE(source.IsKeyPixel(1, 0));
    EXPECT_FALSE(source.IsKeyPixel(3, 0));

    target.DrawPicture(0, 0, source, false);
    EXPECT_EQ(PixelOf(target, 0, 0), common::Rgb565FromRgb(255, 0, 255));
}

// A keyed draw prepares the source's runs; every later change to the source must show in the next keyed draw, or
// a caption, a recoloured key or a redrawn icon would keep drawing its old pixels.
TEST(GPicture, KeyedDrawsFollowEveryChangeToTheSource) {
    GPicture source;
    ASSERT_TRUE(source.Create(20, 1));
    source.FillRect(2, 0, 10, 1, RGB(255, 255, 255));
    GPicture target;
    ASSERT_TRUE(target.Create(20, 1));
    auto drawOnBlue = [&] {
        target.FillRect(0, 0, 20, 1, RGB(0, 0, 255));
        target.DrawPicture(0, 0, source, true);
    };
    drawOnBlue();
    EXPECT_EQ(PixelOf(target, 2, 0), 0xFFFF);
    EXPECT_EQ(PixelOf(target, 12, 0), 0x001F);

    source.FillRect(12, 0, 3, 1, RGB(255, 0, 0));
    drawOnBlue();
    EXPECT_EQ(PixelOf(target, 13, 0), 0xF800);

    source.SetKeyColor(RGB(255, 255, 255));
    drawOnBlue();
    EXPECT_EQ(PixelOf(target, 2, 0), 0x001F);
    EXPECT_EQ(PixelOf(target, 0, 0), 0);

    GPicture red;
    ASSERT_TRUE(red.Create(1, 1));
    red.FillRect(0, 0, 1, 1, RGB(255, 0, 0));
    source.DrawPicture(5, 0, red, false);
    source.AlphaBlend(red, 6, 0, 1, 1, 255);
    drawOnBlue();
    EXPECT_EQ(PixelOf(target, 5, 0), 0xF800);
    EXPECT_EQ(PixelOf(target, 6, 0), 0xF800);

    source.SetKeyColor(RGB(0, 0, 0));
    source.DrawText(0, 0, nullptr, L"W", DT_LEFT, nullptr, RGB(0, 0, 0), RGB(0, 255, 0));
    drawOnBlue();
    EXPECT_EQ(PixelOf(target, 0, 0), 0x07E0);

    ASSERT_TRUE(source.Create(20, 1));
    drawOnBlue();
    EXPECT_EQ(PixelOf(target, 2, 0), 0x001F);
}

// A shared part's pixels belong to the other picture and change there.
TEST(GPicture, KeyedDrawOfASharedPartSeesChangesMadeInTheOther) {
    GPicture sheet;
    ASSERT_TRUE(sheet.Create(8, 1));
    GPicture part;
    part.Share(sheet, RECT{4, 0, 8, 1});
    GPicture target;
    ASSERT_TRUE(target.Create(4, 1));
    target.DrawPicture(0, 0, part, true);

    sheet.FillRect(5, 0, 1, 1, RGB(255, 255, 255));
    target.DrawPicture(0, 0, part, true);

    EXPECT_EQ(PixelOf(target, 1, 0), 0xFFFF);
}

TEST(GPicture, SharedPictureDrawsFromItsPartOfTheOther) {
    GPicture sheet;
    ASSERT_TRUE(sheet.Create(8, 8));
    sheet.FillRect(4, 4, 4, 4, RGB(255, 255, 255));
    GPicture part;
    part.Share(sheet, RECT{4, 4, 8, 8});
    ASSERT_EQ(part.Width(), 4);
    GPicture target;
    ASSERT_TRUE(target.Create(4, 4));

    target.DrawPicture(0, 0, part, false);
    EXPECT_EQ(PixelOf(target, 3, 3), 0xFFFF);

    part.Free();
    EXPECT_FALSE(sheet.IsEmpty());
}

TEST(GPicture, DrawTextWritesIntoThePixelsAndStaysInsideASharedPart) {
    GPicture sheet;
    ASSERT_TRUE(sheet.Create(200, 60));
    GPicture part;
    part.Share(sheet, RECT{100, 0, 200, 60});

    part.DrawText(0, 0, nullptr, L"WWWW", DT_LEFT, nullptr, RGB(255, 255, 255), GPicture::kKeepColor);

    int litInPart = 0;
    int litOutside = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (PixelOf(sheet, x, y) != 0) {
                (x >= 100 ? litInPart : litOutside)++;
            }
        }
    }
    EXPECT_GT(litInPart, 0);
    EXPECT_EQ(litOutside, 0);
}

TEST(GPicture, IconIsDrawnIntoABlackPictureWithTheGivenKey) {
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_NE(icon, nullptr);
    GPicture picture;
    ASSERT_TRUE(picture.FromIcon(icon, 32, 32, RGB(0, 0, 0)));

    int drawn = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            drawn += picture.IsKeyPixel(x, y) ? 0 : 1;
        }
    }
    EXPECT_GT(drawn, 0);
}

TEST(GPicture, BitmapHandleIsConvertedAndStretchedToTheAskedSize) {
    // A 2 x 2 device-independent bitmap: red, green / blue, white.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    platform::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    const uint32_t pixels[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0x00FFFFFF};
    std::memcpy(bits, pixels, sizeof(pixels));

    GPicture same;
    ASSERT_TRUE(same.FromBitmapHandle(bitmap.get(), 2, 2));
    EXPECT_EQ(PixelOf(same, 0, 0), 0xF800);
    EXPECT_EQ(PixelOf(same, 1, 0), 0x07E0);
    EXPECT_EQ(PixelOf(same, 0, 1), 0x001F);

    GPicture larger;
    ASSERT_TRUE(larger.FromBitmapHandle(bitmap.get(), 4, 4));
    EXPECT_EQ(PixelOf(larger, 1, 1), 0xF800);
    EXPECT_EQ(PixelOf(larger, 3, 3), 0xFFFF);
}

TEST(GPicture, AlphaBlendMixesTheSourceOverTheDestination) {
    GPicture shade;
    ASSERT_TRUE(shade.Create(2, 2));
    shade.FillRect(0, 0, 2, 2, RGB(255, 255, 255));
    GPicture target;
    ASSERT_TRUE(target.Create(2, 2));

    target.AlphaBlend(shade, 0, 0, 2, 2, 128);

    common::Rgb888 mixed = common::RgbFromRgb565(PixelOf(target, 1, 1));
    EXPECT_NEAR(mixed.r, 128, 8);
    EXPECT_NEAR(mixed.g, 128, 4);
}

// The launcher composes a slide step clipped to the page area: every kind of drawing must then change exactly the
// pixels inside the clip, and those as the same drawing without a clip would, or the page area and the frame around
// it would disagree after a swipe.
TEST(GPicture, ClippedDrawingChangesTheClipAloneAndAsAWholeDrawWould) {
    GPicture icon;  // keyed art larger than the clip, so every draw straddles its edges
    ASSERT_TRUE(icon.Create(24, 24));
    icon.FillRect(4, 4, 16, 16, RGB(255, 255, 0));
    GPicture shade;
    ASSERT_TRUE(shade.Create(40, 30));
    shade.FillRect(0, 0, 40, 30, RGB(255, 255, 255));
    auto compose = [&](GPicture& frame) {
        frame.DrawPicture(-6, -6, icon, true);
        frame.DrawPicture(20, 12, icon, true);
        frame.DrawPicture(30, 0, icon, false);
        frame.FillRect(0, 26, 40, 4, RGB(255, 0, 0));
        frame.DrawText(2, 8, nullptr, L"WWWWWW", DT_LEFT, nullptr, RGB(0, 255, 0), GPicture::kKeepColor);
        frame.AlphaBlend(shade, 0, 0, 40, 30, 64);
    };
    GPicture whole;
    ASSERT_TRUE(whole.Create(40, 30));
    whole.FillRect(0, 0, 40, 30, RGB(0, 0, 255));
    compose(whole);
    GPicture clipped;
    ASSERT_TRUE(clipped.Create(40, 30));
    clipped.FillRect(0, 0, 40, 30, RGB(0, 0, 255));
    const RECT clip = {5, 4, 33, 28};
    clipped.SetClip(clip);
    compose(clipped);

    int differentInside = 0;
    int changedOutside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            POINT point = {x, y};
            if (::PtInRect(&clip, point)) {
                differentInside += PixelOf(clipped, x, y) != PixelOf(whole, x, y);
            } else {
                changedOutside += PixelOf(clipped, x, y) != common::Rgb565FromRgb(0, 0, 255);
            }
        }
    }
    EXPECT_EQ(differentInside, 0);
    EXPECT_EQ(changedOutside, 0);

    // A clip beside the picture lets nothing through; without the clip drawing reaches everywhere again.
    clipped.SetClip(RECT{50, 0, 60, 30});
    clipped.FillRect(0, 0, 40, 30, RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(clipped, 6, 5), PixelOf(whole, 6, 5));
    clipped.ClearClip();
    clipped.FillRect(0, 0, 40, 30, RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(clipped, 0, 0), 0);
    EXPECT_EQ(PixelOf(clipped, 6, 5), 0);
}

TEST(GPicture, MissingResourceLeavesThePictureEmpty) {
    GPicture picture;
    ASSERT_TRUE(picture.Create(3, 3));
    EXPECT_FALSE(picture.LoadResourceBitmap(::GetModuleHandleW(nullptr), 31999));
    EXPECT_TRUE(picture.IsEmpty());
    EXPECT_FALSE(picture.LoadBitmapFile(L"C:\\no such folder\\none.bmp", 10, 10));
}

}  // namespace
