// Percent-encoding of code-page bytes and the store notice query.
#include "common/store/QueryEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using common::BuildStoreNoticeObject;
using common::PercentEncode;

int HexValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    if (unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;  // lower-case hex is not what the encoder writes
}

// Every byte value must come back from the encoded text: a byte left raw would be read by the server as query
// syntax or as part of a multi-byte character.
TEST(QueryEncoding, EveryByteRoundTripsAndOnlyUnreservedStayRaw) {
    const std::string unreserved = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    for (int value = 0; value < 256; ++value) {
        std::string byte(1, static_cast<char>(value));
        std::u16string encoded = PercentEncode(byte);
        if (unreserved.find(static_cast<char>(value)) != std::string::npos) {
            EXPECT_EQ(encoded, std::u16string(1, static_cast<char16_t>(value))) << value;
            continue;
        }
        ASSERT_EQ(encoded.size(), 3u) << value;
        EXPECT_EQ(encoded[0], u'%');
        EXPECT_EQ(HexValue(encoded[1]) * 16 + HexValue(encoded[2]), value) << value;
    }
}

TEST(QueryEncoding, EncodesQuerySyntaxSpacesAndCodePageBytes) {
    const struct {
        std::string bytes;
        std::u16string expected;
    } cases[] = {
        {"", u""},
        {"user_01.kim~-", u"user_01.kim~-"},
        {"a&b=c#d e", u"a%26b%3Dc%23d%20e"},
        {"100%+/?", u"100%25%2B%2F%3F"},
        {"\xC7\xD1", u"%C7%D1"},                // "한" in code page 949
        {"\xC7\xD1\xB1\xDB", u"%C7%D1%B1%DB"},  // "한글"
        {std::string("a\0b", 3), u"a%00b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PercentEncode(c.bytes), c.expected);
    }
}

// The password used to split the query at '&' and cut it at '#'; urllib's unquote_to_bytes of each value gives
// back the bytes passed in.
TEST(QueryEncoding, NoticeObjectKeepsEachValueInItsKey) {
    EXPECT_EQ(BuildStoreNoticeObject(common::kInstallNoticePath, "kim", "a&b=c#d e\xC7\xD1", 123),
              u"/apps/update_Set.asp?userID=kim&userPwd=a%26b%3Dc%23d%20e%C7%D1&appIdx=123");
    EXPECT_EQ(BuildStoreNoticeObject(common::kRemovalNoticePath, "\xC7\xD1", "", 0),
              u"/apps/delete_Set.asp?userID=%C7%D1&userPwd=&appIdx=0");
    EXPECT_EQ(BuildStoreNoticeObject(common::kInstallNoticePath, "u", "p", -5),
              u"/apps/update_Set.asp?userID=u&userPwd=p&appIdx=-5");
}

}  // namespace
