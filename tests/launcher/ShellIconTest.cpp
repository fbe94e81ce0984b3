// Shell icons of items: a program with icons gives a picture, anything else leaves the skin's bitmap in place.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include "launcher/ShellIcon.h"

namespace {

TEST(ShellIcon, ProgramWithIconsGivesAKeyedPicture) {
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    GPicture picture;
    ASSERT_TRUE(LoadShellIcon(std::wstring(windows) + L"\\regedit.exe", picture));
    EXPECT_GE(picture.Width(), 32);
    EXPECT_EQ(picture.Width(), picture.Height());
    EXPECT_EQ(picture.KeyColor(), RGB(0, 0, 0));
}

TEST(ShellIcon, MissingFileOrFileWithoutIconsGivesNothing) {
    GPicture picture;
    EXPECT_FALSE(LoadShellIcon(L"Z:\\no\\such\\program.exe", picture));
    EXPECT_FALSE(LoadShellIcon(L"", picture));
    EXPECT_TRUE(picture.IsEmpty());
}

}  // namespace
