// GButton against a real message queue: one notice per click, key holes and disabled buttons.
#include "launcher/controls/GButton.h"

#include <gtest/gtest.h>

#include "platform/UniqueHandle.h"

namespace {

constexpr uint16_t kId = 111;

// A hidden top-level window whose queue collects the notices.
class ButtonOwner {
public:
    ButtonOwner() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KelvoTestButtonOwner";
        ::RegisterClassW(&windowClass);
        m_window.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                         nullptr, windowClass.hInstance, nullptr));
    }
    HWND get() const { return m_window.get(); }

    // Removes and counts the notices waiting for the window; any with other parameters fails the test.
    int TakeNotices() {
        int count = 0;
        MSG message = {};
        while (::PeekMessageW(&message, m_window.get(), kButtonNotice, kButtonNotice, PM_REMOVE)) {
            EXPECT_EQ(message.wParam, static_cast<WPARAM>(kId) | 0x10000);
            EXPECT_EQ(message.lParam, 0);
            ++count;
        }
        return count;
    }

private:
    platform::UniqueWindow m_window;
};

// A 10 x 10 image at (20, 30), white with a black (key) hole at (2..3, 2..3).
class GButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner.get(), nullptr);
        ASSERT_TRUE(image.Create(10, 10));
        image.FillRect(0, 0, 10, 10, RGB(255, 255, 255));
        image.FillRect(2, 2, 2, 2, RGB(0, 0, 0));
        ASSERT_TRUE(button.Create(owner.get(), kId, 20, 30, &image, true, nullptr, CaptionMode::UnderImage, 0, 0));
    }

    ButtonOwner owner;
    GPicture image;
    GButton button;
};

TEST_F(GButtonTest, ReleaseInsidePostsExactlyOneNotice) {
    ASSERT_TRUE(button.Press(25, 35));
    EXPECT_TRUE(button.Release(26, 36));
    EXPECT_FALSE(button.Release(26, 36));

    EXPECT_EQ(owner.TakeNotices(), 1);
}

TEST_F(GButtonTest, ReleaseOutsidePostsNothing) {
    ASSERT_TRUE(button.Press(25, 35));
    EXPECT_FALSE(button.Release(5, 5));

    EXPECT_EQ(owner.TakeNotices(), 0);
    EXPECT_FALSE(button.IsPressed());
}

TEST_F(GButtonTest, PressOnAKeyPixelOfATransparentButtonIsIgnored) {
    EXPECT_FALSE(button.Press(22, 32));
    EXPECT_FALSE(button.Release(22, 32));
    EXPECT_EQ(owner.TakeNotices(), 0);
}

TEST_F(GButtonTest, DisabledButtonTakesThePressAndPostsNothing) {
    button.SetDisabled(true);
    EXPECT_TRUE(button.Press(25, 35));
    EXPECT_FALSE(button.Release(25, 35));
    EXPECT_EQ(owner.TakeNotices(), 0);
}

TEST_F(GButtonTest, DisabledButtonWithoutDisabledImageDrawsNothing) {
    button.SetCaption(L"Caption");
    button.SetDisabled(true);
    GPicture target;
    ASSERT_TRUE(target.Create(60, 70));

    button.Draw(target, 20, 30, DT_CENTER, nullptr, RGB(255, 255, 255));

    const common::Surface565 pixels = target.Surface();
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            ASSERT_EQ(pixels.PixelAt(x, y), 0) << x << "," << y;
        }
    }
}

TEST_F(GButtonTest, PressedButtonLooksShrunkAndMovedDownRight) {
    GPicture target;
    ASSERT_TRUE(target.Create(40, 50));
    target.FillRect(0, 0, 40, 50, RGB(0, 0, 255));

    ASSERT_TRUE(button.Press(25, 35));
    button.Draw(target, 20, 30, DT_CENTER, nullptr, RGB(255, 255, 255));

    const common::Surface565 pixels = target.Surface();
    EXPECT_EQ(pixels.PixelAt(21, 31), 0x001F);  // the pressed background (black) is keyed out
    EXPECT_EQ(pixels.PixelAt(22, 32), 0xFFFF);
    EXPECT_EQ(pixels.PixelAt(28, 38), 0xFFFF);
    EXPECT_EQ(pixels.PixelAt(29, 39), 0x001F);
}

TEST_F(GButtonTest, NormalDrawMovesTheHitArea) {
    GPicture target;
    ASSERT_TRUE(target.Create(100, 100));
    button.Draw(target, 60, 60, DT_CENTER, nullptr, RGB(255, 255, 255));

    EXPECT_FALSE(button.Hit(25, 35));
    EXPECT_TRUE(button.Hit(65, 65));
    EXPECT_EQ(target.Surface().PixelAt(65, 65), 0xFFFF);
}

}  // namespace
