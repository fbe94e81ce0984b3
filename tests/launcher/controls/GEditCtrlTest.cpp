// Text fields as host controls: the host's focus and the fields' own agree, and keys reach the focused one only.
#include "launcher/controls/GEditCtrl.h"

#include <gtest/gtest.h>

#include "common/widgets/ControlHost.h"
#include "platform/UniqueHandle.h"

namespace {

using common::KeyEvent;
using common::KeyKind;

// Two 60 x 16 fields, at (0, 0) and (0, 30), in one host over a hidden owner window.
class GEditCtrlHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KelvoTestFieldOwner";
        ::RegisterClassW(&windowClass);
        owner.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                      windowClass.hInstance, nullptr));
        ASSERT_NE(owner.get(), nullptr);
        ASSERT_TRUE(background.Create(60, 16));
        ASSERT_TRUE(caret.Create(2, 12));
        ASSERT_TRUE(first.Create(owner.get(), 0, 0, 60, 16, 1, 20, &background, &caret));
        ASSERT_TRUE(second.Create(owner.get(), 0, 30, 60, 16, 2, 20, &background, &caret));
        host.SetControls({&first, &second});
    }

    bool Type(wchar_t code) { return host.Key(KeyEvent{KeyKind::Character, code, 0}); }

    platform::UniqueWindow owner;
    GPicture background;
    GPicture caret;
    GEditCtrl first;
    GEditCtrl second;
    common::ControlHost host;
};

TEST_F(GEditCtrlHostTest, PressFocusesOneFieldAndKeysReachOnlyIt) {
    EXPECT_FALSE(Type(L'a'));
    host.MouseDown(5, 5);
    EXPECT_TRUE(Type(L'b'));
    host.MouseDown(5, 35);
    EXPECT_TRUE(Type(L'c'));

    EXPECT_STREQ(first.Text(), L"b");
    EXPECT_STREQ(second.Text(), L"c");
    EXPECT_FALSE(first.IsFocused());
    EXPECT_TRUE(second.IsFocused());
}

TEST_F(GEditCtrlHostTest, PressOnNothingTakesTheFieldsFocus) {
    host.MouseDown(5, 5);
    host.MouseDown(100, 100);
    EXPECT_FALSE(first.IsFocused());
    EXPECT_FALSE(Type(L'x'));
    EXPECT_STREQ(first.Text(), L"");
}

TEST_F(GEditCtrlHostTest, FocusGivenByTheHostIsTheFieldsOwn) {
    host.SetFocus(&second);
    EXPECT_TRUE(second.IsFocused());
    host.SetFocus(&first);
    EXPECT_FALSE(second.IsFocused());
    EXPECT_TRUE(first.IsFocused());
}

TEST_F(GEditCtrlHostTest, CompositionAndImeCharacterArriveAsKeys) {
    host.SetFocus(&first);
    EXPECT_TRUE(host.Key(KeyEvent{KeyKind::Composition, 0x3131, common::kEditComposingFlags}));
    EXPECT_STREQ(first.Text(), L"\x3131");
    EXPECT_TRUE(host.Key(KeyEvent{KeyKind::ImeCharacter, 0xAC00, 0}));
    EXPECT_STREQ(first.Text(), L"\xAC00");
    EXPECT_TRUE(host.Key(KeyEvent{KeyKind::Down, common::kEditKeyLeft, 0}));
    EXPECT_TRUE(Type(L'k'));
    EXPECT_STREQ(first.Text(), L"k\xAC00");
}

}  // namespace
