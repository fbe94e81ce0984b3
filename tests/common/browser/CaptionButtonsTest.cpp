#include "common/browser/CaptionButtons.h"

#include <gtest/gtest.h>

namespace common {
namespace {

// Sizes of the classic Windows look at 96 DPI, and of a larger one.
constexpr CaptionMetrics kClassic{18, 18, 18, 4};
constexpr CaptionMetrics kLarge{36, 22, 23, 8};
constexpr int kBand = 22;

// Catches: buttons drawn in one place and hit in another, buttons overlapping or leaving gaps, a button
// reaching below the caption band, and the order of close, minimise and home turned round.
TEST(CaptionButtons, ButtonsSitSideBySideAtTheRightEndInsideTheBand) {
    for (const CaptionMetrics& metrics : {kClassic, kLarge}) {
        const CaptionRect close = CaptionButtonRect(500, kBand, metrics, 1);
        EXPECT_EQ(close.right, 494);
        EXPECT_EQ(close.right - close.left, metrics.buttonWidth);
        for (int number = 2; number <= kCaptionButtonCount; ++number) {
            const CaptionRect left = CaptionButtonRect(500, kBand, metrics, number);
            const CaptionRect right = CaptionButtonRect(500, kBand, metrics, number - 1);
            EXPECT_EQ(left.right, right.left);
            EXPECT_EQ(left.top, right.top);
            EXPECT_EQ(left.bottom, right.bottom);
        }
        EXPECT_GE(close.top, 0);
        EXPECT_LE(close.bottom, kBand);
        EXPECT_LT(close.top, close.bottom);
    }
    const CaptionRect classic = CaptionButtonRect(500, kBand, kClassic, 1);
    EXPECT_EQ(classic.top, 4);     // 18 + 4 - 18
    EXPECT_EQ(classic.bottom, 18);  // 14 high
}

TEST(CaptionButtons, APointFindsTheButtonItIsOnAndNothingElse) {
    for (int number = 1; number <= kCaptionButtonCount; ++number) {
        const CaptionRect rect = CaptionButtonRect(500, kBand, kLarge, number);
        EXPECT_EQ(CaptionButtonAt(500, kBand, kLarge, rect.left, rect.top), static_cast<CaptionButton>(number));
        EXPECT_EQ(CaptionButtonAt(500, kBand, kLarge, rect.right - 1, rect.bottom - 1),
                  static_cast<CaptionButton>(number));
    }
    const CaptionRect home = CaptionButtonRect(500, kBand, kLarge, 3);
    EXPECT_EQ(CaptionButtonAt(500, kBand, kLarge, home.left - 1, home.top), CaptionButton::None);
    EXPECT_EQ(CaptionButtonAt(500, kBand, kLarge, 495, home.top), CaptionButton::None);  // the gap at the edge
    EXPECT_EQ(CaptionButtonAt(500, kBand, kLarge, 480, kBand), CaptionButton::None);   // below the caption
    EXPECT_EQ(CaptionButtonAt(500, kBand, kLarge, 480, -1), CaptionButton::None);
}

// A window narrower than its buttons and metrics of zero (a system that reports nothing) give empty but sane
// rectangles rather than negative heights.
TEST(CaptionButtons, DegenerateSizesGiveRectanglesOfPositiveSizeOrNone) {
    const CaptionRect rect = CaptionButtonRect(10, kBand, CaptionMetrics{}, 1);
    EXPECT_EQ(rect.right - rect.left, 1);
    EXPECT_LE(rect.top, rect.bottom);
    EXPECT_LE(rect.bottom, kBand);
    const CaptionRect tall = CaptionButtonRect(500, kBand, CaptionMetrics{20, 60, 60, 0}, 1);
    EXPECT_EQ(tall.top, 0);
    EXPECT_EQ(tall.bottom, kBand);
}

}  // namespace
}  // namespace common
