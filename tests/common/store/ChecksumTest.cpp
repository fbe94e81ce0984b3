// Which CHECKSUM texts promise a SHA-256 and which are ignored.
#include "common/store/Checksum.h"

#include <gtest/gtest.h>

namespace {

common::CFileInfo Entry(uint32_t comparison, std::u16string checksum) {
    common::CFileInfo entry;
    entry.comparison = comparison;
    entry.checksum = std::move(checksum);
    return entry;
}

// Expected value from Python's hashlib: sha256(b"abc").
constexpr char16_t kAbc[] = u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";

// Catches: a digest read with its bytes swapped or cut, one taken without the C letter, and texts of old
// profiles (empty, an MD5, a word) taken as a promise the file would then fail.
TEST(Checksum, OnlyAFullSha256UnderTheCLetterIsAPromise) {
    std::optional<common::Sha256Digest> digest =
        common::ExpectedSha256(Entry(common::kCompareChecksum | common::kCompareSize, kAbc));
    ASSERT_TRUE(digest);
    EXPECT_EQ((*digest)[0], 0xba);
    EXPECT_EQ((*digest)[1], 0x78);
    EXPECT_EQ((*digest)[31], 0xad);
    std::u16string upper(kAbc);
    for (char16_t& unit : upper) {
        unit = unit >= u'a' && unit <= u'f' ? static_cast<char16_t>(unit - 32) : unit;
    }
    EXPECT_EQ(common::ExpectedSha256(Entry(common::kCompareChecksum, upper)), digest);

    EXPECT_FALSE(common::ExpectedSha256(Entry(common::kCompareSize, kAbc))) << "no C: the text is not read";
    EXPECT_FALSE(common::ExpectedSha256(Entry(common::kCompareChecksum, u"")));
    EXPECT_FALSE(common::ExpectedSha256(Entry(common::kCompareChecksum, u"900150983cd24fb0d6963f7d28e17f72")));
    EXPECT_FALSE(common::ExpectedSha256(Entry(common::kCompareChecksum, std::u16string(kAbc).substr(1))));
    EXPECT_FALSE(common::ExpectedSha256(Entry(common::kCompareChecksum, std::u16string(kAbc) + u"0")));
    std::u16string notHex(kAbc);
    notHex[10] = u'g';
    EXPECT_FALSE(common::ExpectedSha256(Entry(common::kCompareChecksum, notHex)));
}

}  // namespace
