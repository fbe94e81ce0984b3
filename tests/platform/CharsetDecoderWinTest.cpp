// Pages decoded through the system's code pages. Expected values are Python's (bytes.decode("cp949",
// "replace") and .decode("utf-8")), so the Windows decoder and the native one agree on what a page says.
#include <gtest/gtest.h>

#include "platform/CharsetDecoderWin.h"

namespace {

platform::CharsetDecoderWin decoder;

TEST(CharsetDecoderWin, KoreanPagesDecodeUnderEveryNameTheirServersUse) {
    // "한국어 설치 똠방각하 뷁": KS X 1001 syllables and the code page's extension (똠, 뷁).
    const std::string bytes =
        "\xc7\xd1\xb1\xb9\xbe\xee\x20\xbc\xb3\xc4\xa1\x20\x8c\x63\xb9\xe6\xb0\xa2\xc7\xcf\x20\x94\xee";
    const std::u16string expected = u"\xd55c\xad6d\xc5b4 \xc124\xce58 \xb620\xbc29\xac01\xd558 \xbdc1";
    for (const char* name : {"EUC-KR", "euc-kr", "CP949", "ks_c_5601-1987", " KS_C_5601-1987 ", "windows-949"}) {
        EXPECT_EQ(decoder.Decode(bytes, name), expected) << name;
    }
    EXPECT_EQ(decoder.Decode("\xa4\xa1\xa4\xbf", "euc-kr"), u"\x3131\x314f") << "jamo";
}

TEST(CharsetDecoderWin, Utf8AndUnknownNames) {
    EXPECT_EQ(decoder.Decode("\xed\x95\x9c\xea\xb5\xad\xec\x96\xb4 ok", "UTF-8"), u"\xd55c\xad6d\xc5b4 ok");
    EXPECT_EQ(decoder.Decode("\xec\x84\xa4\xec\xb9\x98", "utf8"), u"\xc124\xce58");
    EXPECT_EQ(decoder.Decode("", "utf-8"), u"");
    EXPECT_FALSE(decoder.Decode("abc", "koi8-q").has_value());
    EXPECT_FALSE(decoder.Decode("abc", "").has_value());
    EXPECT_FALSE(decoder.Decode("abc", "utf-8x").has_value());
}

// Catches: a page with one bad byte shown empty or cut short, or a bad byte eating the character after it.
TEST(CharsetDecoderWin, BadBytesBecomeReplacementCharactersAndDecodingGoesOn) {
    // Python: b"\xb0\xa1\xff\xc7\xd1" -> 가 U+FFFD 한; b"\xb0 A" -> U+FFFD " A"; b"A\xb0" -> "A" U+FFFD;
    // b"\x80x" -> U+FFFD "x".
    EXPECT_EQ(decoder.Decode("\xb0\xa1\xff\xc7\xd1", "euc-kr"), u"\xac00\xfffd\xd55c");
    EXPECT_EQ(decoder.Decode("\xb0 A", "euc-kr"), u"\xfffd A");
    EXPECT_EQ(decoder.Decode("A\xb0", "euc-kr"), u"A\xfffd");
    EXPECT_EQ(decoder.Decode("\x80x", "euc-kr"), u"\xfffdx");
    EXPECT_EQ(decoder.Decode("a\xffz\xed\x95\x9c", "utf-8"), u"a\xfffdz\xd55c");
    EXPECT_EQ(decoder.Decode("\xed\x95", "utf-8"), u"\xfffd") << "Python: one for a sequence cut at the end";
}

}  // namespace
