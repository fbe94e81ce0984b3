// The settings bar's layout and input: hit tests at item borders, clicks, hover and the keyboard.
#include "common/settings/OutlookBarModel.h"

#include <gtest/gtest.h>

namespace common {
namespace {

constexpr int kHeader = 24;
constexpr int kItem = 72;

OutlookBarModel Bar(int height = 480) {
    OutlookBarModel bar(5, kHeader, kItem);
    bar.Layout(100, height);
    return bar;
}

// Catches: an item boundary claimed by two items or by none, the header or the space below the last item
// choosing a view, and points left or right of the bar hitting an item.
TEST(OutlookBarModel, HitTestsAtTheBordersOfEveryItem) {
    const OutlookBarModel bar = Bar();
    struct Case {
        int x;
        int y;
        int item;
    } cases[] = {
        {50, 0, -1},
        {50, kHeader - 1, -1},
        {50, kHeader, 0},
        {50, kHeader + 71, 0},
        {50, kHeader + 72, 1},
        {0, kHeader + 4 * kItem, 4},
        {99, kHeader + 5 * kItem - 1, 4},
        {50, kHeader + 5 * kItem, -1},
        {100, kHeader + 10, -1},
        {-1, kHeader + 10, -1},
        {50, 479, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bar.HitTest(c.x, c.y), c.item) << c.x << "," << c.y;
    }
    EXPECT_EQ(bar.ItemRect(2).top, kHeader + 2 * kItem);
    EXPECT_EQ(bar.ItemRect(2).Height(), kItem);
}

// Catches: items running past the bottom of a short bar (under the status bar), and a bar with no room at all
// that divides by zero or hits anything.
TEST(OutlookBarModel, ShortBarsShareTheirHeightAndTinyOnesHitNothing) {
    const OutlookBarModel shortBar = Bar(kHeader + 5 * 60 + 3);
    EXPECT_EQ(shortBar.ItemRect(4).Height(), 60);
    EXPECT_LE(shortBar.ItemRect(4).bottom, kHeader + 5 * 60 + 3);
    const OutlookBarModel tiny = Bar(kHeader + 2);
    EXPECT_EQ(tiny.HitTest(50, kHeader + 1), -1);
    EXPECT_EQ(tiny.ItemRect(0).Height(), 0);
}

// Catches: a press dragged onto another item choosing that one, a release without a press choosing anything,
// and a click that chooses twice.
TEST(OutlookBarModel, OnlyAPressAndReleaseOnOneItemChoose) {
    OutlookBarModel bar = Bar();
    const int second = kHeader + kItem + 10;
    const int third = kHeader + 2 * kItem + 10;
    EXPECT_EQ(bar.Release(50, second).chosen, -1);
    bar.Press(50, second);
    EXPECT_EQ(bar.Pressed(), 1);
    EXPECT_EQ(bar.Release(50, third).chosen, -1);
    EXPECT_EQ(bar.Pressed(), -1);
    bar.Press(50, third);
    EXPECT_EQ(bar.Release(50, third + 20).chosen, 2);
    EXPECT_EQ(bar.Release(50, third + 20).chosen, -1);
    bar.Press(50, 5);  // the header
    EXPECT_EQ(bar.Release(50, 5).chosen, -1);
}

// Catches: a hover that never clears when the pointer leaves, and redraws asked for on every pixel of movement.
TEST(OutlookBarModel, HoverChangesOnlyBetweenItems) {
    OutlookBarModel bar = Bar();
    EXPECT_TRUE(bar.MouseMove(50, kHeader + 5).isRedrawn);
    EXPECT_FALSE(bar.MouseMove(60, kHeader + 30).isRedrawn);
    EXPECT_TRUE(bar.MouseMove(60, kHeader + kItem + 1).isRedrawn);
    EXPECT_EQ(bar.Hovered(), 1);
    EXPECT_TRUE(bar.MouseLeave().isRedrawn);
    EXPECT_EQ(bar.Hovered(), -1);
    EXPECT_FALSE(bar.MouseLeave().isRedrawn);
}

// Catches: the keyboard wrapping past either end, Enter choosing something other than the focus, and the focus
// staying behind when a view is shown another way (a click, a message from the agent).
TEST(OutlookBarModel, KeysMoveTheFocusAndEnterChoosesIt) {
    OutlookBarModel bar = Bar();
    bar.SetSelected(0);
    EXPECT_FALSE(bar.Key(BarKey::Up).isRedrawn);
    EXPECT_EQ(bar.Focused(), 0);
    bar.Key(BarKey::Down);
    bar.Key(BarKey::Down);
    EXPECT_EQ(bar.Key(BarKey::Enter).chosen, 2);
    EXPECT_EQ(bar.Selected(), 0) << "choosing is the frame's to do";
    bar.Key(BarKey::End);
    EXPECT_FALSE(bar.Key(BarKey::Down).isRedrawn);
    EXPECT_EQ(bar.Key(BarKey::Enter).chosen, 4);
    bar.Key(BarKey::Home);
    EXPECT_EQ(bar.Focused(), 0);
    bar.SetSelected(3);
    EXPECT_EQ(bar.Key(BarKey::Enter).chosen, 3);
    bar.SetSelected(7);
    EXPECT_EQ(bar.Selected(), -1);
}

}  // namespace
}  // namespace common
