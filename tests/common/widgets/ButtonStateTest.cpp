// Button input: what a press takes, when a release is a click, and the key-pixel hole of transparent buttons.
#include "common/widgets/ButtonState.h"

#include <gtest/gtest.h>

namespace {

using common::ButtonRelease;
using common::ButtonState;

// A 4 x 3 image at (10, 20) whose pixel (1, 1) and whole last column are the key colour.
class ButtonFixture {
public:
    explicit ButtonFixture(bool isTransparent) : m_image(4, 3) {
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                m_image.View().Row(y)[x] = (x == 3 || (x == 1 && y == 1)) ? kKey : 0x7BEF;
            }
        }
        button.Create(4, 3, isTransparent, m_image.View(), kKey);
        button.SetPosition(10, 20);
    }

    static constexpr uint16_t kKey = 0;
    ButtonState button;

private:
    common::Bitmap565 m_image;
};

struct PressCase {
    const char* name;
    bool isTransparent;
    int x, y;
    bool isTaken;
};

const PressCase kPressCases[] = {
    {"TopLeftCorner", false, 10, 20, true},
    {"RightEdgeIsInside", false, 14, 21, true},
    {"BottomEdgeIsInside", false, 11, 23, true},
    {"OnePastRight", false, 15, 21, false},
    {"OneAboveTop", false, 11, 19, false},
    {"OneLeftOfLeft", false, 9, 21, false},
    {"KeyPixelOfOpaqueButton", false, 11, 21, true},
    {"KeyPixelOfTransparentButton", true, 11, 21, false},
    {"KeyedColumnOfTransparentButton", true, 13, 22, false},
    {"ImagePixelOfTransparentButton", true, 10, 21, true},
    {"EdgeBeyondImageOfTransparentButton", true, 12, 23, true},
};

class ButtonPressTest : public ::testing::TestWithParam<PressCase> {};

TEST_P(ButtonPressTest, TakesPressesOnTheButtonOnly) {
    const PressCase& c = GetParam();
    ButtonFixture fixture(c.isTransparent);

    EXPECT_EQ(fixture.button.Press(c.x, c.y), c.isTaken);
    EXPECT_EQ(fixture.button.IsPressed(), c.isTaken);
    // The same point released is a click exactly when the press was taken.
    EXPECT_EQ(fixture.button.Release(c.x, c.y), c.isTaken ? ButtonRelease::Clicked : ButtonRelease::Ignored);
}

INSTANTIATE_TEST_SUITE_P(ButtonState, ButtonPressTest, ::testing::ValuesIn(kPressCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ButtonState, ReleaseOutsideEndsThePressWithoutAClick) {
    ButtonFixture fixture(false);
    ASSERT_TRUE(fixture.button.Press(11, 21));

    EXPECT_EQ(fixture.button.Release(40, 40), ButtonRelease::Missed);
    EXPECT_FALSE(fixture.button.IsPressed());
}

TEST(ButtonState, ReleaseOnAKeyPixelOfATransparentButtonIsNoClick) {
    ButtonFixture fixture(true);
    ASSERT_TRUE(fixture.button.Press(10, 20));

    EXPECT_EQ(fixture.button.Release(11, 21), ButtonRelease::Missed);
}

TEST(ButtonState, OnePressGivesAtMostOneClick) {
    ButtonFixture fixture(false);
    ASSERT_TRUE(fixture.button.Press(11, 21));

    EXPECT_EQ(fixture.button.Release(11, 21), ButtonRelease::Clicked);
    EXPECT_EQ(fixture.button.Release(11, 21), ButtonRelease::Ignored);
}

TEST(ButtonState, ReleaseWithoutPressIsLeftToOthers) {
    ButtonFixture fixture(false);
    EXPECT_EQ(fixture.button.Release(11, 21), ButtonRelease::Ignored);
}

TEST(ButtonState, DisabledButtonTakesThePressWithoutEffect) {
    ButtonFixture fixture(false);
    fixture.button.SetDisabled(true);

    EXPECT_TRUE(fixture.button.Press(11, 21));
    EXPECT_FALSE(fixture.button.IsPressed());
    EXPECT_EQ(fixture.button.Release(11, 21), ButtonRelease::Ignored);
}

TEST(ButtonState, DisablingDuringAPressCancelsTheClick) {
    ButtonFixture fixture(false);
    ASSERT_TRUE(fixture.button.Press(11, 21));
    fixture.button.SetDisabled(true);

    EXPECT_NE(fixture.button.Release(11, 21), ButtonRelease::Clicked);
}

TEST(ButtonState, HitIgnoresKeysAndChangesNothing) {
    ButtonFixture fixture(true);

    EXPECT_TRUE(fixture.button.Hit(11, 21));
    EXPECT_FALSE(fixture.button.Hit(15, 21));
    EXPECT_FALSE(fixture.button.IsPressed());
    EXPECT_EQ(fixture.button.Release(11, 21), ButtonRelease::Ignored);
}

TEST(ButtonState, HitTestsFollowTheLastDrawnPosition) {
    ButtonFixture fixture(false);
    fixture.button.SetPosition(100, 0);

    EXPECT_FALSE(fixture.button.Press(11, 21));
    EXPECT_TRUE(fixture.button.Press(101, 1));
}

TEST(ButtonState, ButtonNotCreatedTakesNothing) {
    ButtonState button;
    EXPECT_FALSE(button.Press(0, 0));
    EXPECT_FALSE(button.Hit(0, 0));
}

}  // namespace
