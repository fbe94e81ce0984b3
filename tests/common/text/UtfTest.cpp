// UTF-8 decoding of file bytes and UTF-8 encoding of paths.
#include "common/text/Utf.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

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

INSTANTIATE_TEST_SUITE_P(Utf, UtfDecode,
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

struct StrictCase {
    const char* label;
    std::string bytes;
    bool isWellFormed;
};

class UtfDecodeStrict : public testing::TestWithParam<StrictCase> {};

// Catches: a malformed argument accepted and stored as something other than what the user typed (the lenient
// decoder's U+FFFD, or the value of an overlong form), and well-formed text, a literal U+FFFD included, refused.
TEST_P(UtfDecodeStrict, AcceptsOnlyWellFormedInput) {
    const StrictCase& c = GetParam();
    std::optional<std::u16string> decoded = common::Utf8ToUtf16Strict(c.bytes);
    EXPECT_EQ(decoded.has_value(), c.isWellFormed) << c.label;
    if (decoded) {
        EXPECT_EQ(*decoded, Utf8ToUtf16(c.bytes)) << c.label;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Utf, UtfDecodeStrict,
    testing::Values(StrictCase{"empty", "", true}, StrictCase{"ascii with symbols", "p&ss=word%^", true},
                    StrictCase{"korean",
                               "\xEC\x82\xAC\xEC\x9A\xA9\xEC\x9E\x90"
                               "01",
                               true},
                    StrictCase{"four-byte", "\xF0\x9F\x98\x80", true},
                    StrictCase{"largest code point", "\xF4\x8F\xBF\xBF", true},
                    StrictCase{"literal replacement character", "\xEF\xBF\xBD", true},
                    StrictCase{"overlong slash", "\xC0\xAF", false},
                    StrictCase{"overlong three-byte NUL", "\xE0\x80\x80", false},
                    StrictCase{"overlong four-byte", "\xF0\x82\x82\xAC", false},
                    StrictCase{"encoded high surrogate", "\xED\xA0\x80", false},
                    StrictCase{"encoded surrogate pair", "\xED\xA0\xBD\xED\xB8\x80", false},
                    StrictCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", false},
                    StrictCase{"five-byte lead", "\xF8\x88\x80\x80\x80", false},
                    StrictCase{"cut at end", "ab\xED\x95", false}, StrictCase{"cut by ascii", "\xEDxy", false},
                    StrictCase{"stray continuation", "a\x80", false}, StrictCase{"latin-1 byte", "caf\xE9", false}),
    [](const testing::TestParamInfo<StrictCase>& info) { return std::to_string(info.index); });

}  // namespace
