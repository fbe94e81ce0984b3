// PNG writing for screenshots.
//
// The compressor is deliberately small: greedy LZ77 with one candidate per 3-byte hash, coded with the fixed
// Huffman tables of RFC 1951. Screens are mostly flat colour, so a repeat of the previous pixel (distance 3) or of
// the row above (distance = stride) is found by the hash and runs shrink to a few bits per 258 bytes.
#include "Png.h"

#include <algorithm>
#include <array>

namespace kdrive {
namespace {

constexpr size_t kWindowSize = 32768;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 258;
constexpr int kHashBits = 15;

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistanceBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                        33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

// Deflate packs bits from the least significant end; Huffman codes go in most significant bit first.
class BitWriter {
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}

    void Bits(uint32_t value, int count) {
        m_pending |= value << m_count;
        m_count += count;
        while (m_count >= 8) {
            m_out.push_back(static_cast<uint8_t>(m_pending));
            m_pending >>= 8;
            m_count -= 8;
        }
    }

    void Code(uint32_t code, int length) {
        uint32_t reversed = 0;
        for (int i = 0; i < length; ++i) {
            reversed = (reversed << 1) | ((code >> i) & 1);
        }
        Bits(reversed, length);
    }

    void Flush() {
        if (m_count > 0) {
            m_out.push_back(static_cast<uint8_t>(m_pending));
        }
        m_pending = 0;
        m_count = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint32_t m_pending = 0;
    int m_count = 0;
};

void PutLiteralOrLength(BitWriter& writer, int symbol) {
    if (symbol < 144) {
        writer.Code(0x30 + symbol, 8);
    } else if (symbol < 256) {
        writer.Code(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        writer.Code(symbol - 256, 7);
    } else {
        writer.Code(0xC0 + symbol - 280, 8);
    }
}

// Index of the last table entry not above value; the tables are ascending, and 258 must map to its own code 285.
template <size_t N>
size_t BucketOf(const uint16_t (&bases)[N], size_t value) {
    size_t index = N - 1;
    while (bases[index] > value) {
        --index;
    }
    return index;
}

void PutMatch(BitWriter& writer, size_t length, size_t distance) {
    size_t lengthIndex = BucketOf(kLengthBase, length);
    PutLiteralOrLength(writer, 257 + static_cast<int>(lengthIndex));
    writer.Bits(static_cast<uint32_t>(length - kLengthBase[lengthIndex]), kLengthExtra[lengthIndex]);
    size_t distanceIndex = BucketOf(kDistanceBase, distance);
    writer.Code(static_cast<uint32_t>(distanceIndex), 5);
    writer.Bits(static_cast<uint32_t>(distance - kDistanceBase[distanceIndex]), kDistanceExtra[distanceIndex]);
}

uint32_t HashAt(const uint8_t* p) {
    uint32_t key = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    return (key * 2654435761u) >> (32 - kHashBits);
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value >> 24));
    out.push_back(static_cast<uint8_t>(value >> 16));
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    PutBigEndian32(out, static_cast<uint32_t>(data.size()));
    size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian32(out, Crc32(out.data() + typeStart, out.size() - typeStart));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
    constexpr uint32_t kModulus = 65521;
    uint32_t a = 1;
    uint32_t b = 0;
    while (size > 0) {
        // 5552 is the longest run whose sums cannot overflow 32 bits before the modulo.
        size_t run = std::min<size_t>(size, 5552);
        size -= run;
        for (; run > 0; --run) {
            a += *data++;
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
    }
    return (b << 16) | a;
}

std::vector<uint8_t> ZlibCompress(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out = {0x78, 0x01};  // deflate, 32K window, check bits make 0x7801 divisible by 31
    out.reserve(size / 8 + 64);
    BitWriter writer(out);
    writer.Bits(1, 1);  // final block
    writer.Bits(1, 2);  // fixed Huffman

    std::vector<int64_t> head(size_t{1} << kHashBits, -1);
    size_t pos = 0;
    while (pos < size) {
        size_t matchLength = 0;
        size_t matchDistance = 0;
        if (pos + kMinMatch <= size) {
            uint32_t hash = HashAt(data + pos);
            int64_t candidate = head[hash];
            head[hash] = static_cast<int64_t>(pos);
            if (candidate >= 0 && pos - static_cast<size_t>(candidate) <= kWindowSize) {
                size_t limit = std::min(kMaxMatch, size - pos);
                size_t length = 0;
                while (length < limit && data[candidate + length] == data[pos + length]) {
                    ++length;
                }
                if (length >= kMinMatch) {
                    matchLength = length;
                    matchDistance = pos - static_cast<size_t>(candidate);
                }
            }
        }
        if (matchLength == 0) {
            PutLiteralOrLength(writer, data[pos]);
            ++pos;
            continue;
        }
        PutMatch(writer, matchLength, matchDistance);
        for (size_t k = 1; k < matchLength && pos + k + kMinMatch <= size; ++k) {
            head[HashAt(data + pos + k)] = static_cast<int64_t>(pos + k);
        }
        pos += matchLength;
    }
    PutLiteralOrLength(writer, 256);  // end of block
    writer.Flush();
    PutBigEndian32(out, Adler32(data, size));
    return out;
}

std::vector<uint8_t> EncodePng(uint32_t width, uint32_t height, const uint8_t* rgb) {
    if (width == 0 || height == 0) {
        return {};
    }
    const size_t stride = size_t{width} * 3;
    std::vector<uint8_t> scanlines;
    scanlines.reserve((stride + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        scanlines.push_back(0);  // filter "None": the LZ77 stage already finds the row above
        scanlines.insert(scanlines.end(), rgb + y * stride, rgb + (y + 1) * stride);
    }

    std::vector<uint8_t> header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour, deflate, adaptive filters, no interlace

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", ZlibCompress(scanlines.data(), scanlines.size()));
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace kdrive
