// Checksums and container of the screenshot writer; pixel content is checked against real decoders by selftest.sh.
#include "Png.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace kdrive {
namespace {

uint32_t ReadBigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Catches: a wrong polynomial, missing pre/post inversion, or a broken continuation (PNG CRCs span type + data).
TEST(Png, Crc32MatchesCheckValue) {
    const std::string text = "123456789";
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    EXPECT_EQ(Crc32(bytes, text.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32(bytes + 4, 5, Crc32(bytes, 4)), 0xCBF43926u);
}

// Catches: the modulo applied too late (overflow on long runs of 0xFF) or a wrong start value.
TEST(Png, Adler32MatchesKnownValues) {
    const std::string text = "Wikipedia";
    EXPECT_EQ(Adler32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0x11E60398u);
    EXPECT_EQ(Adler32(nullptr, 0), 1u);
    std::vector<uint8_t> ones(100000, 0xFF);
    uint32_t a = 1;
    uint32_t b = 0;
    for (uint8_t byte : ones) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(Adler32(ones.data(), ones.size()), (b << 16) | a);
}

// Catches: chunk lengths or CRCs that viewers reject, a wrong IHDR (colour type, size order), zlib header check bits.
TEST(Png, ChunksAreWellFormed) {
    const uint32_t width = 3;
    const uint32_t height = 2;
    const uint8_t rgb[18] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3, 1, 2, 3, 1, 2, 3};
    std::vector<uint8_t> png = EncodePng(width, height, rgb);
    ASSERT_GT(png.size(), 8u);
    ASSERT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8), 0);
    std::vector<std::string> types;
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        uint32_t length = ReadBigEndian32(&png[pos]);
        ASSERT_LE(pos + 12 + length, png.size());
        std::string type(reinterpret_cast<const char*>(&png[pos + 4]), 4);
        types.push_back(type);
        EXPECT_EQ(ReadBigEndian32(&png[pos + 8 + length]), Crc32(&png[pos + 4], length + 4)) << type;
        if (type == "IHDR") {
            ASSERT_EQ(length, 13u);
            EXPECT_EQ(ReadBigEndian32(&png[pos + 8]), width);
            EXPECT_EQ(ReadBigEndian32(&png[pos + 12]), height);
            EXPECT_EQ(png[pos + 16], 8);  // bit depth
            EXPECT_EQ(png[pos + 17], 2);  // truecolour
        }
        if (type == "IDAT") {
            EXPECT_EQ((png[pos + 8] * 256 + png[pos + 9]) % 31, 0);
            EXPECT_EQ(png[pos + 8] & 0x0F, 8);  // deflate
        }
        pos += 12 + length;
    }
    EXPECT_EQ(pos, png.size());
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
}

// Catches: the zlib trailer computed over the compressed bytes instead of the input.
TEST(Png, ZlibTrailerIsAdlerOfInput) {
    std::vector<uint8_t> data(70000);
    for (size_t i = 0; i < data.size(); ++i) {
        data[i] = static_cast<uint8_t>((i / 300) * 7);
    }
    std::vector<uint8_t> stream = ZlibCompress(data.data(), data.size());
    ASSERT_GE(stream.size(), 6u);
    EXPECT_EQ(ReadBigEndian32(&stream[stream.size() - 4]), Adler32(data.data(), data.size()));
    EXPECT_LT(stream.size(), data.size() / 20) << "runs should compress";
}

TEST(Png, RefusesEmptyImage) {
    EXPECT_TRUE(EncodePng(0, 5, nullptr).empty());
    EXPECT_TRUE(EncodePng(5, 0, nullptr).empty());
}

}  // namespace
}  // namespace kdrive
