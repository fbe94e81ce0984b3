// Control dispatch: which control a press reaches, capture until the release, clicks, focus and keys.
#include "common/widgets/ControlHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// This test's drawing side: each painted control writes its name.
struct common::PaintContext {
    std::string painted;
};

namespace {

using common::Control;
using common::ControlHost;
using common::KeyEvent;
using common::KeyKind;
using common::PixelRect;

// Records what the host tells it as short words, so a test reads the whole exchange at once.
class FakeControl : public Control {
public:
    FakeControl(char name, PixelRect bounds) : m_name(name), m_bounds(bounds) {}

    PixelRect Bounds() const override { return m_bounds; }
    bool IsSolidAt(int x, int y) override { return !(hasHole && x == m_bounds.x && y == m_bounds.y); }
    bool IsVisible() const override { return isVisible; }
    bool IsEnabled() const override { return isEnabled; }
    bool IsFocusable() const override { return isFocusable; }
    void Paint(common::PaintContext& context) override { context.painted += m_name; }
    void OnMouseDown(int x, int y) override { Log("down", x, y); }
    void OnMouseMove(int x, int y) override { Log("move", x, y); }
    void OnMouseUp(int x, int y, bool isClick) override { Log(isClick ? "click" : "up", x, y); }
    void OnFocus(bool isFocused) override { log += isFocused ? "focus " : "blur "; }
    bool OnKey(const KeyEvent& key) override {
        log += "key" + std::to_string(key.code) + " ";
        return true;
    }

    bool isVisible = true;
    bool isEnabled = true;
    bool isFocusable = false;
    bool hasHole = false;  // the top-left pixel falls through
    std::string log;

private:
    void Log(const char* what, int x, int y) {
        log += std::string(what) + "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
    }

    char m_name;
    PixelRect m_bounds;
};

// Bottom (b) covers (0..20, 0..20), top (t) overlaps it at (10..30, 10..30); a third (c) stands apart.
class ControlHostTest : public ::testing::Test {
protected:
    void SetUp() override { host.SetControls({&bottom, &top, &apart}); }

    FakeControl bottom{'b', {0, 0, 20, 20}};
    FakeControl top{'t', {10, 10, 20, 20}};
    FakeControl apart{'c', {100, 0, 10, 10}};
    ControlHost host;
};

struct HitCase {
    const char* name;
    int x, y;
    char expected;  // 0: nothing
};

const HitCase kHitCases[] = {
    {"OverlapGoesToTheTopmost", 15, 15, 't'}, {"BottomOutsideTheOverlap", 5, 5, 'b'},
    {"TopOutsideTheOverlap", 25, 25, 't'},    {"RightEdgeIsInside", 110, 5, 'c'},
    {"BottomEdgeIsInside", 105, 10, 'c'},     {"OnePastTheRightEdge", 111, 5, 0},
    {"OnePastTheBottomEdge", 105, 11, 0},     {"LeftOfEverything", -1, 5, 0},
};

class ControlHostHitTest : public ControlHostTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(ControlHostHitTest, PressReachesOnlyTheControlHit) {
    const HitCase& c = GetParam();
    EXPECT_EQ(host.MouseDown(c.x, c.y), c.expected != 0);
    for (FakeControl* control : {&bottom, &top, &apart}) {
        bool isHit = control == host.Captured();
        EXPECT_EQ(!control->log.empty(), isHit);
    }
    char captured = host.Captured() == &bottom ? 'b' : host.Captured() == &top ? 't' : host.Captured() ? 'c' : 0;
    EXPECT_EQ(captured, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Points, ControlHostHitTest, ::testing::ValuesIn(kHitCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlHostTest, HiddenControlIsNeitherHitNorPainted) {
    top.isVisible = false;
    EXPECT_TRUE(host.MouseDown(15, 15));
    EXPECT_EQ(host.Captured(), &bottom);
    EXPECT_EQ(top.log, "");

    common::PaintContext context;
    host.Paint(context);
    EXPECT_EQ(context.painted, "bc");
}

TEST_F(ControlHostTest, PaintsBottomToTop) {
    common::PaintContext context;
    host.Paint(context);
    EXPECT_EQ(context.painted, "btc");
}

TEST_F(ControlHostTest, SeeThroughPixelLetsThePressReachTheControlUnder) {
    top.hasHole = true;
    EXPECT_TRUE(host.MouseDown(10, 10));
    EXPECT_EQ(host.Captured(), &bottom);
}

TEST_F(ControlHostTest, DisabledControlTakesThePressWithoutEffect) {
    top.isEnabled = false;
    EXPECT_TRUE(host.MouseDown(15, 15));
    EXPECT_EQ(host.Captured(), nullptr);
    EXPECT_EQ(host.MouseUp(15, 15), nullptr);
    // Neither the disabled control nor the one under it hears anything.
    EXPECT_EQ(top.log, "");
    EXPECT_EQ(bottom.log, "");
}

TEST_F(ControlHostTest, CapturedControlGetsMovesAndReleaseWhereverTheyHappen) {
    host.MouseDown(5, 5);
    host.MouseMove(105, 5);
    host.MouseMove(-40, 300);
    EXPECT_EQ(host.MouseUp(105, 5), nullptr);

    EXPECT_EQ(bottom.log, "down(5,5) move(105,5) move(-40,300) up(105,5) ");
    EXPECT_EQ(apart.log, "");
}

TEST_F(ControlHostTest, ReleaseOnThePressedControlIsExactlyOneClick) {
    host.MouseDown(5, 5);
    EXPECT_EQ(host.MouseUp(6, 6), &bottom);
    EXPECT_EQ(host.MouseUp(6, 6), nullptr);
    EXPECT_EQ(bottom.log, "down(5,5) click(6,6) ");
}

TEST_F(ControlHostTest, ReleaseOnAControlAboveThePressedOneIsNoClick) {
    host.MouseDown(5, 5);
    EXPECT_EQ(host.MouseUp(15, 15), nullptr);
    EXPECT_EQ(bottom.log, "down(5,5) up(15,15) ");
    EXPECT_EQ(top.log, "");
}

TEST_F(ControlHostTest, ControlDisabledWhileHeldGivesNoClick) {
    host.MouseDown(5, 5);
    bottom.isEnabled = false;
    EXPECT_EQ(host.MouseUp(5, 5), nullptr);
    EXPECT_EQ(bottom.log, "down(5,5) up(5,5) ");
}

TEST_F(ControlHostTest, NewPressWithoutReleaseCancelsTheHeldControl) {
    host.MouseDown(5, 5);
    host.MouseDown(105, 5);
    EXPECT_EQ(bottom.log, "down(5,5) up(105,5) ");
    EXPECT_EQ(host.MouseUp(105, 5), &apart);
}

TEST_F(ControlHostTest, ReleaseWithoutPressReachesNobody) {
    EXPECT_EQ(host.MouseUp(5, 5), nullptr);
    host.MouseMove(5, 5);
    EXPECT_EQ(bottom.log, "");
}

TEST_F(ControlHostTest, ListWithoutTheCapturedControlForgetsItSilently) {
    host.MouseDown(5, 5);
    host.SetControls({&top, &apart});
    EXPECT_EQ(host.Captured(), nullptr);
    EXPECT_EQ(host.MouseUp(5, 5), nullptr);
    EXPECT_EQ(bottom.log, "down(5,5) ");
}

// Two fields (b, t) and a button (c).
class ControlHostFocusTest : public ControlHostTest {
protected:
    void SetUp() override {
        ControlHostTest::SetUp();
        bottom.isFocusable = true;
        top.isFocusable = true;
    }
    static KeyEvent Key(uint32_t code) { return KeyEvent{KeyKind::Down, code, 0}; }
};

TEST_F(ControlHostFocusTest, KeysGoToThePressedFocusableControlOnly) {
    EXPECT_FALSE(host.Key(Key(1)));
    host.MouseDown(25, 25);
    host.MouseUp(25, 25);
    EXPECT_TRUE(host.Key(Key(2)));
    host.MouseDown(5, 5);
    EXPECT_TRUE(host.Key(Key(3)));

    EXPECT_EQ(top.log, "down(25,25) focus click(25,25) key2 blur ");
    EXPECT_EQ(bottom.log, "down(5,5) focus key3 ");
}

TEST_F(ControlHostFocusTest, PressOnAControlThatTakesNoFocusLeavesIt) {
    host.SetFocus(&bottom);
    host.MouseDown(105, 5);
    EXPECT_EQ(host.Focused(), &bottom);
    EXPECT_TRUE(host.Key(Key(4)));
    EXPECT_EQ(apart.log, "down(105,5) ");
}

TEST_F(ControlHostFocusTest, PressOnNothingClearsTheFocus) {
    host.SetFocus(&bottom);
    EXPECT_FALSE(host.MouseDown(200, 200));
    EXPECT_EQ(host.Focused(), nullptr);
    EXPECT_FALSE(host.Key(Key(5)));
    EXPECT_EQ(bottom.log, "focus blur ");
}

TEST_F(ControlHostFocusTest, FocusCannotGoToAControlThatTakesNoKeysOrIsNotListed) {
    host.SetFocus(&bottom);
    host.SetFocus(&apart);
    EXPECT_EQ(host.Focused(), nullptr);

    FakeControl stranger{'s', {0, 0, 1, 1}};
    stranger.isFocusable = true;
    host.SetFocus(&stranger);
    EXPECT_EQ(host.Focused(), nullptr);
    EXPECT_EQ(stranger.log, "");
}

TEST_F(ControlHostFocusTest, ListWithoutTheFocusedControlForgetsItSilently) {
    host.SetFocus(&top);
    host.SetControls({&bottom});
    EXPECT_FALSE(host.Key(Key(6)));
    EXPECT_EQ(top.log, "focus ");
}

}  // namespace
