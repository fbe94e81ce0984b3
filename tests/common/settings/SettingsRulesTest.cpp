// The settings program's command line, background rule, preview alpha and hot key boxes.
#include "common/settings/SettingsRules.h"

#include <gtest/gtest.h>

namespace {

using common::ParseSettingsStart;

// Catches: the view read without a count, the package read with a count of 1, the leading "-" read as a sign,
// and a view out of range opened.
TEST(SettingsRules, ReadsTheCommandLineAsItsCallersWriteIt) {
    auto edit = ParseSettingsStart({u"-2", u"-1", u"-7"});
    EXPECT_EQ(edit.count, 2);
    EXPECT_EQ(edit.view, 1);
    EXPECT_EQ(edit.packageId, 7);
    auto backup = ParseSettingsStart({u"-1", u"-2"});
    EXPECT_EQ(common::StartView(backup), 2);
    EXPECT_EQ(backup.packageId, 0);
    EXPECT_EQ(common::StartView(ParseSettingsStart({u"-0"})), 0);
    EXPECT_EQ(common::StartView(ParseSettingsStart({})), 0);
    auto countOnly = ParseSettingsStart({u"-2"});
    EXPECT_EQ(common::StartView(countOnly), 0);
    EXPECT_EQ(countOnly.packageId, 0);
    EXPECT_EQ(common::StartView(ParseSettingsStart({u"-1", u"-9"})), 0);
    EXPECT_EQ(ParseSettingsStart({u"-0", u"-3"}).view, 0) << "a count of 0 reads no view";
}

// Catches: a picture on another drive or of another type taken, and upper-case names refused.
TEST(SettingsRules, TakesOnlyBitmapsOnTheSuiteDrive) {
    EXPECT_TRUE(common::IsAcceptableBackImage(u"k:\\pics\\sky.BMP", u"K:\\Kelvo"));
    EXPECT_TRUE(common::IsAcceptableBackImage(u"K:\\sky.bmp", u"K:\\Kelvo"));
    EXPECT_FALSE(common::IsAcceptableBackImage(u"C:\\sky.bmp", u"K:\\Kelvo"));
    EXPECT_FALSE(common::IsAcceptableBackImage(u"K:\\sky.png", u"K:\\Kelvo"));
    EXPECT_FALSE(common::IsAcceptableBackImage(u"", u"K:\\Kelvo"));
}

// Catches: the preview fully transparent at the end of the slider, or opaque anywhere but position 0.
TEST(SettingsRules, PreviewAlphaRunsFromOpaqueToATenth) {
    EXPECT_EQ(common::PreviewAlpha(0), 255);
    EXPECT_EQ(common::PreviewAlpha(1), 229);
    EXPECT_EQ(common::PreviewAlpha(9), 25);
    EXPECT_EQ(common::PreviewAlpha(10), 255);
    EXPECT_EQ(common::PreviewAlpha(-3), 255);
}

// Catches: symbols and Hangul accepted as keys (the agent would register nonsense), lower-case letters not
// turned into their key code, and an empty box refused instead of clearing the key.
TEST(SettingsRules, HotKeyBoxesTakeDigitsAndLetters) {
    EXPECT_EQ(common::HotKeyFromBox(u""), 0);
    EXPECT_EQ(common::HotKeyFromBox(u"7"), '7');
    EXPECT_EQ(common::HotKeyFromBox(u"k"), 'K');
    EXPECT_EQ(common::HotKeyFromBox(u"Z"), 'Z');
    EXPECT_FALSE(common::HotKeyFromBox(u"%"));
    EXPECT_FALSE(common::HotKeyFromBox(u"한"));
    EXPECT_FALSE(common::HotKeyFromBox(u" "));
}

}  // namespace
