// UTF-8 decoding of file bytes and UTF-8 encoding of paths.
#include "common/text/Utf.h"

#include <gtest/gtest.h>

namespace {

using common::Utf16ToUtf8;
using common::Utf8ToUtf16;

struct DecodeCase {
    const char* label;
    std::string bytes;
    std::u16string expected;
};

class UtfDecode : public testing::TestWithParam<DecodeCase> {};

TEST_P(UtfDecode, DecodesWithoutReadingPastInput) {
    const DecodeCase& c = GetParam();
    // A heap copy of exactly the input's size lets ASan catch any read past the end.
    std::vector<uint8_t> heap(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(Utf8ToUtf16(heap.data(), heap.size()), c.expected) << c.label;
}

INSTANTIATE_TEST_SUITE_P(Utf,
                         UtfDecode,
                         testing::Values(DecodeCase{"ascii", "abc", u"abc"},
                                         DecodeCase{"korean three-byte", "\xED\x95\x9C\xEA\xB8\x80", u"한글"},
                                         DecodeCase{"two-byte", "\xC3\xA9", u"é"},
                                         DecodeCase{"four-byte gives surrogate pair", "\xF0\x9F\x98\x80",
                                                    u"\U0001F600"},
                                         DecodeCase{"three-byte cut at end", "a\xED\x95", u"a\uFFFD"},
                                         DecodeCase{"four-byte cut at end", "\xF0\x9F", u"\uFFFD"},
                                         DecodeCase{"lead byte alone at end", "\xC3", u"\uFFFD"},
                                         DecodeCase{"stray continuation", "\x80z", u"\uFFFDz"},
                                         DecodeCase{"lead followed by ascii resumes at ascii", "\xEDx", u"\uFFFDx"},
                                         DecodeCase{"invalid lead byte", "\xFF\xFE", u"\uFFFD\uFFFD"},
                                         DecodeCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD"}),
                         [](const testing::TestParamInfo<DecodeCase>& info) { return std::to_string(info.index); });

TEST(Utf, EncodesSurrogatePairsAndReplacesLoneSurrogates) {
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"a"),
              "\xEF\xBF\xBD"
              "a");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(Utf, RoundTripsKoreanAndAstralText) {
    std::u16string text = u"c:\\Portable Programs\\한글 é \U0001F600";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
}

}  // namespace
