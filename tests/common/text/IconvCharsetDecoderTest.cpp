#if !defined(_WIN32)  // iconv is the native build's decoder
#include "common/text/IconvCharsetDecoder.h"

#include <gtest/gtest.h>

namespace common {
namespace {

// Expected values from Python's cp949 codec: bytes are s.encode('cp949'), and the decodings of broken input
// b.decode('cp949', 'replace').
TEST(IconvCharsetDecoder, DecodesKoreanCodePagesLikePython) {
    IconvCharsetDecoder decoder;
    // '설치 프로그램' in EUC-KR, and '똠방각하' whose first syllable exists only in code page 949.
    const std::string install = "\xbc\xb3\xc4\xa1\x20\xc7\xc1\xb7\xce\xb1\xd7\xb7\xa5";
    const std::string extended = "\x8c\x63\xb9\xe6\xb0\xa2\xc7\xcf";
    for (std::string_view name : {"EUC-KR", "euc-kr", "cp949", "ks_c_5601-1987", "x-windows-949", "CP949"}) {
        EXPECT_EQ(decoder.Decode(install, name), u"설치 프로그램") << name;
        EXPECT_EQ(decoder.Decode(extended, name), u"똠방각하") << name;
    }
    // b'\xb0\xa1\xffA' → '가\ufffdA'; b'A\xb0 B' → 'A\ufffd B'; b'\xb0' → '\ufffd'; b'\xc8\xfe\x80' → '힝\ufffd'.
    EXPECT_EQ(decoder.Decode("\xb0\xa1\xff" "A", "euc-kr"), u"가\uFFFDA");
    EXPECT_EQ(decoder.Decode("A\xb0 B", "euc-kr"), u"A\uFFFD B");
    EXPECT_EQ(decoder.Decode("\xb0", "euc-kr"), u"\uFFFD");
    EXPECT_EQ(decoder.Decode("\xc8\xfe\x80", "cp949"), u"\uD79D\uFFFD");
    EXPECT_EQ(decoder.Decode("", "euc-kr"), u"");
}

TEST(IconvCharsetDecoder, KnowsUtf8AndRefusesOtherNames) {
    IconvCharsetDecoder decoder;
    EXPECT_EQ(decoder.Decode("\xea\xb0\x80" "a\xff", "UTF-8"), u"가a\uFFFD");
    EXPECT_EQ(decoder.Decode("x", "utf8"), u"x");
    EXPECT_FALSE(decoder.Decode("x", "koi8-r"));
    EXPECT_FALSE(decoder.Decode("x", ""));
}

}  // namespace
}  // namespace common

#endif
