// Window drag and page swipe: which presses start what, the release's choice of slide, and that every slide
// ends exactly with at most one page change.
#include "common/layout/PageSlider.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace common {
namespace {

// The shipped layout: drag band 44 high, page area at (21, 140), 288 x 336 (right 309).
constexpr int kBand = 44;
const Rect kArea = Rect::FromSize(21, 140, 288, 336);
constexpr int kMidY = 300;

struct SlideRun {
    int steps = 0;
    int pageStep = 0;
    int pageChanges = 0;
    int finalOffset = 0;
};

// Steps until idle (bounded, so a slide that never ends fails instead of hanging).
SlideRun RunSlide(PageSlider& slider) {
    SlideRun run;
    while (slider.IsSliding() && run.steps < 1000) {
        SlideActions actions = slider.Step();
        EXPECT_TRUE(actions.repaint);
        if (actions.pageStep != 0) {
            run.pageStep = actions.pageStep;
            ++run.pageChanges;
        }
        ++run.steps;
    }
    run.finalOffset = slider.StripOffset();
    return run;
}

// A swipe from startX to endX on the page area's middle row, released there.
PageSlider Swipe(int startX, int endX, PagePosition pages) {
    PageSlider slider(kBand, kArea);
    EXPECT_TRUE(slider.Press(startX, kMidY).taken);
    slider.Move(endX, kMidY);
    slider.Release(endX, kMidY, pages);
    return slider;
}

struct PressCase {
    const char* name;
    int x;
    int y;
    bool taken;
    bool dragsWindow;
};

class PageSliderPress : public testing::TestWithParam<PressCase> {};

TEST_P(PageSliderPress, StartsAWindowDragInTheBandAndASwipeInThePageArea) {
    const PressCase& c = GetParam();
    PageSlider slider(kBand, kArea);
    SlideActions actions = slider.Press(c.x, c.y);
    EXPECT_EQ(actions.taken, c.taken);
    EXPECT_EQ(actions.captureMouse, c.taken);
    EXPECT_EQ(slider.IsDraggingWindow(), c.dragsWindow);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, PageSliderPress,
    testing::Values(PressCase{"bandLeftEdge", 1, 10, true, true}, PressCase{"bandRightEdge", 326, 10, true, true},
                    PressCase{"leftOfBand", 0, 10, false, false}, PressCase{"rightOfBand", 327, 10, false, false},
                    PressCase{"bandTopRowExcluded", 100, 0, false, false},
                    PressCase{"bandLastRow", 100, kBand - 1, true, true},
                    PressCase{"belowBand", 100, kBand, false, false},
                    PressCase{"pageTopLeftCorner", 21, 140, true, false},
                    PressCase{"pageBottomRightCorner", 309, 476, true, false},
                    PressCase{"rightOfPage", 310, 300, false, false}, PressCase{"belowPage", 100, 477, false, false}),
    [](const testing::TestParamInfo<PressCase>& info) { return std::string(info.param.name); });

struct ReleaseCase {
    const char* name;
    int distance;  // end x minus start x
    PagePosition pages;
    SlideMode mode;
    int pageStep;  // reported once when the slide ends
};

class PageSliderRelease : public testing::TestWithParam<ReleaseCase> {};

TEST_P(PageSliderRelease, ChoosesTheSlideAndEndsItExactly) {
    const ReleaseCase& c = GetParam();
    int startX = c.distance < 0 ? 300 : 22;
    PageSlider slider = Swipe(startX, startX + c.distance, c.pages);
    EXPECT_EQ(slider.Mode(), c.mode);
    SlideRun run = RunSlide(slider);
    EXPECT_FALSE(slider.IsSliding());
    EXPECT_EQ(run.pageStep, c.pageStep);
    EXPECT_LE(run.pageChanges, 1);
    EXPECT_EQ(run.finalOffset, 0);  // idle: the strip paints at home whatever the last offset was
}

INSTANTIATE_TEST_SUITE_P(Swipes, PageSliderRelease,
                         testing::Values(ReleaseCase{"shortLeftSlidesBack", -143, {0, 3}, SlideMode::Back, 0},
                                         ReleaseCase{"halfWidthLeftMovesToNext", -144, {0, 3}, SlideMode::ToNext, 1},
                                         ReleaseCase{"shortRightSlidesBack", 143, {1, 3}, SlideMode::Back, 0},
                                         ReleaseCase{
                                             "halfWidthRightMovesToPrevious", 144, {1, 3}, SlideMode::ToPrevious, -1},
                                         ReleaseCase{"onePageLeftSlidesBack", -270, {0, 1}, SlideMode::Back, 0},
                                         ReleaseCase{"onePageRightSlidesBack", 270, {0, 1}, SlideMode::Back, 0},
                                         ReleaseCase{"lastPageHasNoNext", -270, {2, 3}, SlideMode::Back, 0},
                                         ReleaseCase{"firstPageHasNoPrevious", 270, {0, 3}, SlideMode::Back, 0},
                                         ReleaseCase{"tinyLeftSlidesBack", -1, {0, 3}, SlideMode::Back, 0},
                                         ReleaseCase{"noDistanceStaysIdle", 0, {0, 3}, SlideMode::Idle, 0}),
                         [](const testing::TestParamInfo<ReleaseCase>& info) { return std::string(info.param.name); });

TEST(PageSlider, SlideBackReturnsToZeroFromEitherSideWithoutOvershootingForever) {
    for (int distance : {-200, -143, -25, -9, -1, 1, 9, 31, 95, 143, 200}) {
        PageSlider slider = Swipe(distance < 0 ? 300 : 22, (distance < 0 ? 300 : 22) + distance, {0, 1});
        ASSERT_EQ(slider.Mode(), SlideMode::Back) << distance;
        SlideRun run = RunSlide(slider);
        EXPECT_LE(run.steps, (distance < 0 ? -distance : distance) / 10 + 2) << distance;
        EXPECT_EQ(run.pageChanges, 0) << distance;
    }
}

TEST(PageSlider, SlideToNextStepsTenPixelsUntilThePageAreaRightHasPassed) {
    PageSlider slider = Swipe(300, 150, {0, 2});  // offset -150
    EXPECT_EQ(slider.StripOffset(), -150);
    int steps = 0;
    while (slider.StripOffset() + kArea.right > 0) {
        SlideActions actions = slider.Step();
        EXPECT_EQ(actions.pageStep, 0);
        ++steps;
    }
    EXPECT_EQ(steps, 16);  // -150 to -310, the first offset with offset + 309 <= 0
    EXPECT_EQ(slider.StripOffset(), -310);
    EXPECT_EQ(slider.Step().pageStep, 1);
    EXPECT_FALSE(slider.IsSliding());
    EXPECT_EQ(slider.Step().repaint, false);  // idle steps do nothing
}

TEST(PageSlider, StripOffsetFollowsTheSwipeOnlyInsideThePageArea) {
    PageSlider slider(kBand, kArea);
    slider.Press(200, kMidY);
    EXPECT_TRUE(slider.Move(120, kMidY).repaint);
    EXPECT_EQ(slider.StripOffset(), -80);
    SlideActions same = slider.Move(200, kMidY);  // back at the start x: repaint only
    EXPECT_TRUE(same.repaint);
    EXPECT_FALSE(same.postButtonUp.has_value());
    EXPECT_EQ(slider.StripOffset(), -80);
}

struct LeaveCase {
    const char* name;
    int rawX;
    int rawY;
    Point posted;
};

class PageSliderLeave : public testing::TestWithParam<LeaveCase> {};

TEST_P(PageSliderLeave, PostsTheReleaseWhenTheSwipeLeavesThePageArea) {
    const LeaveCase& c = GetParam();
    PageSlider slider(kBand, kArea);
    slider.Press(200, kMidY);
    slider.Move(150, kMidY);
    SlideActions actions = slider.Move(c.rawX, c.rawY);
    ASSERT_TRUE(actions.postButtonUp.has_value());
    EXPECT_EQ(*actions.postButtonUp, c.posted);
    EXPECT_TRUE(actions.repaint);
    EXPECT_EQ(slider.StripOffset(), -50);  // the offset stays where the pointer last was inside
}

INSTANTIATE_TEST_SUITE_P(Edges, PageSliderLeave,
                         testing::Values(LeaveCase{"atPageAreaRight", 309, kMidY, Point{309, kMidY}},
                                         LeaveCase{"beyondTheWindow", 400, kMidY, Point{400, kMidY}},
                                         LeaveCase{"atZero", 0, kMidY, Point{0, kMidY}},
                                         LeaveCase{"negativeXCountsAsZero", -10, kMidY, Point{0, kMidY}},
                                         LeaveCase{"negativeYCountsAsZero", 0, -1, Point{0, 0}},
                                         LeaveCase{"fromBit12UpCountsAsZero", 0x1000, 17, Point{0, 17}}),
                         [](const testing::TestParamInfo<LeaveCase>& info) { return std::string(info.param.name); });

TEST(PageSlider, WindowDragMovesTheWindowAndNeverPosts) {
    PageSlider slider(kBand, kArea);
    slider.Press(50, 20);
    SlideActions actions = slider.Move(70, 5);
    ASSERT_TRUE(actions.moveWindowBy.has_value());
    EXPECT_EQ(*actions.moveWindowBy, (Point{20, -15}));
    EXPECT_FALSE(actions.postButtonUp.has_value());
    EXPECT_FALSE(actions.repaint);
    // Above the window the pointer's y counts as 0, so the window moves up by the press's own y at most.
    actions = slider.Move(50, -30);
    EXPECT_EQ(*actions.moveWindowBy, (Point{0, -20}));

    SlideActions released = slider.Release(50, 20, {0, 3});
    EXPECT_TRUE(released.releaseMouse);
    EXPECT_FALSE(slider.IsDraggingWindow());
    EXPECT_FALSE(slider.IsSliding());
}

TEST(PageSlider, ReleaseWithoutPressAsksForTheIndicatorHitTest) {
    PageSlider slider(kBand, kArea);
    SlideActions actions = slider.Release(160, 490, {0, 3});
    EXPECT_TRUE(actions.testIndicators);
    EXPECT_FALSE(actions.releaseMouse);
    EXPECT_FALSE(slider.IsSliding());
}

TEST(PageSlider, MovesWithoutAPressAreIgnored) {
    PageSlider slider(kBand, kArea);
    SlideActions actions = slider.Move(100, 300);
    EXPECT_FALSE(actions.repaint || actions.postButtonUp || actions.moveWindowBy);
}

TEST(PageSlider, ASwipePressAfterALostWindowDragDoesNotDragTheWindow) {
    PageSlider slider(kBand, kArea);
    slider.Press(50, 20);      // window drag; its button-up never arrives
    slider.Press(200, kMidY);  // the next press lands in the page area
    EXPECT_FALSE(slider.IsDraggingWindow());
    EXPECT_FALSE(slider.Move(150, kMidY).moveWindowBy.has_value());
}

// Catches: a fixed slop instead of the user's drag distance, the vertical distance ignored, the limit itself
// counted as a swipe, and a distance from far-apart coordinates overflowing into a click.
TEST(PageSlider, AClickIsAReleaseWithinTheDragDistanceOnBothAxes) {
    const struct {
        Point release;
        Point dragSize;
        bool isClick;
    } cases[] = {
        {{100, 200}, {4, 4}, true},   {{104, 196}, {4, 4}, true},        {{105, 200}, {4, 4}, false},
        {{95, 200}, {4, 4}, false},   {{100, 205}, {4, 4}, false},       {{100, 195}, {4, 4}, false},
        {{108, 200}, {12, 12}, true}, {{100, 212}, {12, 12}, true},      {{100, 213}, {12, 12}, false},
        {{108, 200}, {12, 2}, true},  {{100, 203}, {12, 2}, false},      {{101, 200}, {0, 0}, false},
        {{100, 200}, {0, 0}, true},   {{INT32_MIN, 200}, {4, 4}, false}, {{INT32_MAX, 200}, {4, 4}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PageSlider::IsClick({100, 200}, c.release, c.dragSize), c.isClick)
            << c.release.x << "," << c.release.y << " with " << c.dragSize.x << "x" << c.dragSize.y;
    }
    EXPECT_FALSE(PageSlider::IsClick({INT32_MIN, 0}, {INT32_MAX, 0}, {4, 4}));
}

}  // namespace
}  // namespace common
