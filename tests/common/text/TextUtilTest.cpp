// Numbers in element text and case-insensitive name matching.
#include "common/text/TextUtil.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using common::EqualsIgnoreCase;
using common::FormatInt;
using common::ParseLeadingInt;

TEST(TextUtil, ParseLeadingIntFollowsDecimalPrefixRules) {
    const struct {
        std::u16string text;
        int32_t expected;
    } cases[] = {
        {u"", 0},
        {u"abc", 0},
        {u"42", 42},
        {u"  \t\r\n-7", -7},
        {u"+15", 15},
        {u"12abc", 12},
        {u"3 4", 3},
        {u"-", 0},
        {u"+-3", 0},
        {u"- 3", 0},
        {u"0x1F", 0},
        {u"007", 7},
        {u"2147483647", std::numeric_limits<int32_t>::max()},
        {u"-2147483648", std::numeric_limits<int32_t>::min()},
        {u"2147483648", std::numeric_limits<int32_t>::max()},
        {u"-99999999999999999999999", std::numeric_limits<int32_t>::min()},
        {u"99999999999999999999999999999999", std::numeric_limits<int32_t>::max()},
        {u"\uFF11", 0},  // a full-width digit is not a digit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLeadingInt(c.text), c.expected) << std::string(c.text.begin(), c.text.end());
    }
}

TEST(TextUtil, FormatIntRoundTripsThroughParse) {
    for (int32_t value :
         {0, 1, -1, 10, -305, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()}) {
        EXPECT_EQ(ParseLeadingInt(FormatInt(value)), value);
    }
    EXPECT_EQ(FormatInt(-2147483647 - 1), u"-2147483648");
}

TEST(TextUtil, EqualsIgnoreCaseFoldsCasedLettersOnly) {
    EXPECT_TRUE(EqualsIgnoreCase(u"PackageCount", u"PACKAGECOUNT"));
    EXPECT_TRUE(EqualsIgnoreCase(u"caption", u"CAPTION"));
    EXPECT_TRUE(EqualsIgnoreCase(u"\uFF21", u"\uFF41"));  // full-width A / a
    EXPECT_TRUE(EqualsIgnoreCase(u"ΑΩ", u"αω"));
    EXPECT_TRUE(EqualsIgnoreCase(u"ЁЯ", u"ёя"));
    EXPECT_TRUE(EqualsIgnoreCase(u"한글", u"한글"));
    EXPECT_FALSE(EqualsIgnoreCase(u"PAGE", u"PAGES"));
    EXPECT_FALSE(EqualsIgnoreCase(u"[", u"{"));  // 0x5B and 0x7B differ by 0x20 but are not letters
    EXPECT_FALSE(EqualsIgnoreCase(u"@", u"`"));
    EXPECT_FALSE(EqualsIgnoreCase(std::u16string(1, char16_t(0x03A2)), std::u16string(1, char16_t(0x03C2))));
}

}  // namespace
