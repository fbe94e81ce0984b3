// Table-driven Rijndael: four 32-bit lookups per column and round, tables built at compile time.
#include "common/cipher/Rijndael.h"

#include <cstring>
#include <stdexcept>

namespace common {

namespace {

// Multiplication by x in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr uint8_t XTime(uint8_t value) {
    return static_cast<uint8_t>((value << 1) ^ ((value & 0x80) != 0 ? 0x1B : 0x00));
}

constexpr uint8_t Multiply(uint8_t a, uint8_t b) {
    uint8_t product = 0;
    while (b != 0) {
        if ((b & 1) != 0) {
            product ^= a;
        }
        a = XTime(a);
        b >>= 1;
    }
    return product;
}

constexpr uint8_t RotateByteLeft(uint8_t value, int bits) {
    return static_cast<uint8_t>((value << bits) | (value >> (8 - bits)));
}

constexpr uint32_t RotateWordRight(uint32_t value, int bits) {
    return bits == 0 ? value : (value >> bits) | (value << (32 - bits));
}

constexpr uint32_t Word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return uint32_t(b0) << 24 | uint32_t(b1) << 16 | uint32_t(b2) << 8 | uint32_t(b3);
}

// The S-box, its inverse, and the round tables: te[0][x] is the MixColumns column of S(x) placed in row 0,
// te[k] the same for row k (a byte rotation); td likewise with InvMixColumns and the inverse S-box.
struct Tables {
    uint8_t sbox[256] = {};
    uint8_t inverseSbox[256] = {};
    uint32_t te[4][256] = {};
    uint32_t td[4][256] = {};
};

constexpr Tables MakeTables() {
    Tables t;
    // Powers of the generator 3 give the multiplicative inverses without a search.
    uint8_t power[255] = {};
    uint8_t logarithm[256] = {};
    uint8_t x = 1;
    for (int i = 0; i < 255; ++i) {
        power[i] = x;
        logarithm[x] = static_cast<uint8_t>(i);
        x = static_cast<uint8_t>(x ^ XTime(x));
    }
    for (int v = 0; v < 256; ++v) {
        uint8_t inverse = v == 0 ? 0 : power[(255 - logarithm[v]) % 255];
        uint8_t s = static_cast<uint8_t>(inverse ^ RotateByteLeft(inverse, 1) ^ RotateByteLeft(inverse, 2) ^
                                         RotateByteLeft(inverse, 3) ^ RotateByteLeft(inverse, 4) ^ 0x63);
        t.sbox[v] = s;
        t.inverseSbox[s] = static_cast<uint8_t>(v);
    }
    for (int v = 0; v < 256; ++v) {
        uint8_t s = t.sbox[v];
        uint8_t is = t.inverseSbox[v];
        uint32_t e = Word(Multiply(s, 2), s, s, Multiply(s, 3));
        uint32_t d = Word(Multiply(is, 14), Multiply(is, 9), Multiply(is, 13), Multiply(is, 11));
        for (int k = 0; k < 4; ++k) {
            t.te[k][v] = RotateWordRight(e, 8 * k);
            t.td[k][v] = RotateWordRight(d, 8 * k);
        }
    }
    return t;
}

constexpr Tables kTables = MakeTables();

// Spot checks against the published tables, so a slip in the generator cannot build.
static_assert(kTables.sbox[0x00] == 0x63 && kTables.sbox[0x01] == 0x7C && kTables.sbox[0x53] == 0xED &&
              kTables.sbox[0xFF] == 0x16);
static_assert(kTables.inverseSbox[0x00] == 0x52 && kTables.inverseSbox[0xFF] == 0x7D);
static_assert(kTables.te[0][0x00] == 0xC66363A5 && kTables.te[0][0xFF] == 0x2C16163A);
static_assert(kTables.td[0][0x00] == 0x51F4A750 && kTables.td[0][0xFF] == 0xD0B85742);

constexpr const uint8_t* kS = kTables.sbox;
constexpr const uint8_t* kSi = kTables.inverseSbox;
constexpr const uint32_t (&kTe)[4][256] = kTables.te;
constexpr const uint32_t (&kTd)[4][256] = kTables.td;

uint32_t Load(const uint8_t* p) {
    return Word(p[0], p[1], p[2], p[3]);
}

void Store(uint32_t value, uint8_t* p) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

uint8_t Byte(uint32_t value, int row) {
    return static_cast<uint8_t>(value >> (24 - 8 * row));
}

uint32_t SubWord(uint32_t w) {
    return Word(kS[Byte(w, 0)], kS[Byte(w, 1)], kS[Byte(w, 2)], kS[Byte(w, 3)]);
}

uint32_t InvMixColumn(uint32_t w) {
    uint8_t a0 = Byte(w, 0), a1 = Byte(w, 1), a2 = Byte(w, 2), a3 = Byte(w, 3);
    return Word(Multiply(a0, 14) ^ Multiply(a1, 11) ^ Multiply(a2, 13) ^ Multiply(a3, 9),
                Multiply(a0, 9) ^ Multiply(a1, 14) ^ Multiply(a2, 11) ^ Multiply(a3, 13),
                Multiply(a0, 13) ^ Multiply(a1, 9) ^ Multiply(a2, 14) ^ Multiply(a3, 11),
                Multiply(a0, 11) ^ Multiply(a1, 13) ^ Multiply(a2, 9) ^ Multiply(a3, 14));
}

// ShiftRows offsets of rows 1 to 3 by block width in columns: 1, 2, 3 up to six columns, 1, 3, 4 for eight.
struct Shifts {
    int c1, c2, c3;
};

Shifts ShiftsFor(int columns) {
    return columns == 8 ? Shifts{1, 3, 4} : Shifts{1, 2, 3};
}

[[noreturn]] void Fail(const char* text) {
    throw std::runtime_error(text);
}

}  // namespace

CRijndael::CRijndael() = default;

CRijndael::~CRijndael() = default;

void CRijndael::MakeKey(const uint8_t* key, const uint8_t* chain, size_t keyLength, size_t blockLength) {
    if (key == nullptr) {
        Fail("Empty key");
    }
    if (keyLength != 16 && keyLength != 24 && keyLength != 32) {
        Fail("Incorrect key length");
    }
    if (blockLength != 16 && blockLength != 24 && blockLength != 32) {
        Fail("Incorrect block length");
    }

    m_keyLength = keyLength;
    m_blockLength = blockLength;
    std::memset(m_initialChain, 0, sizeof(m_initialChain));
    if (chain != nullptr) {
        std::memcpy(m_initialChain, chain, blockLength);
    }
    std::memcpy(m_chain, m_initialChain, sizeof(m_chain));

    const int keyColumns = static_cast<int>(keyLength / 4);
    const int columns = static_cast<int>(blockLength / 4);
    m_rounds = 6 + (keyColumns > columns ? keyColumns : columns);

    // Key expansion as in FIPS-197 5.2, which the Rijndael proposal uses unchanged for wider blocks:
    // only the number of words taken out of it grows with the block.
    uint32_t w[(kMaxRounds + 1) * kMaxColumns] = {};
    const int total = columns * (m_rounds + 1);
    for (int i = 0; i < keyColumns; ++i) {
        w[i] = Load(key + 4 * i);
    }
    uint8_t roundConstant = 1;
    for (int i = keyColumns; i < total; ++i) {
        uint32_t temp = w[i - 1];
        if (i % keyColumns == 0) {
            temp = SubWord(RotateWordRight(temp, 24)) ^ (uint32_t(roundConstant) << 24);
            roundConstant = XTime(roundConstant);
        } else if (keyColumns > 6 && i % keyColumns == 4) {
            temp = SubWord(temp);
        }
        w[i] = w[i - keyColumns] ^ temp;
    }

    for (int round = 0; round <= m_rounds; ++round) {
        for (int c = 0; c < columns; ++c) {
            m_encryptKeys[round][c] = w[round * columns + c];
        }
    }
    // Equivalent inverse cipher (FIPS-197 5.3.5): reversed order, InvMixColumns on the inner round keys.
    for (int round = 0; round <= m_rounds; ++round) {
        for (int c = 0; c < columns; ++c) {
            uint32_t k = m_encryptKeys[m_rounds - round][c];
            m_decryptKeys[round][c] = (round == 0 || round == m_rounds) ? k : InvMixColumn(k);
        }
    }
    m_isInitialized = true;
}

void CRijndael::EncryptBlock(const uint8_t* in, uint8_t* out) const {
    if (!m_isInitialized) {
        Fail("Object not Initialized");
    }
    if (m_blockLength == 16) {
        EncryptBlock16(in, out);
    } else {
        EncryptBlockAny(in, out);
    }
}

void CRijndael::DecryptBlock(const uint8_t* in, uint8_t* out) const {
    if (!m_isInitialized) {
        Fail("Object not Initialized");
    }
    if (m_blockLength == 16) {
        DecryptBlock16(in, out);
    } else {
        DecryptBlockAny(in, out);
    }
}

// The AES case with the four columns in locals and the row offsets fixed at 1, 2, 3.
void CRijndael::EncryptBlock16(const uint8_t* in, uint8_t* out) const {
    const uint32_t(*k)[kMaxColumns] = m_encryptKeys;
    uint32_t s0 = Load(in) ^ k[0][0];
    uint32_t s1 = Load(in + 4) ^ k[0][1];
    uint32_t s2 = Load(in + 8) ^ k[0][2];
    uint32_t s3 = Load(in + 12) ^ k[0][3];
    for (int round = 1; round < m_rounds; ++round) {
        uint32_t t0 = kTe[0][s0 >> 24] ^ kTe[1][(s1 >> 16) & 0xFF] ^ kTe[2][(s2 >> 8) & 0xFF] ^ kTe[3][s3 & 0xFF];
        uint32_t t1 = kTe[0][s1 >> 24] ^ kTe[1][(s2 >> 16) & 0xFF] ^ kTe[2][(s3 >> 8) & 0xFF] ^ kTe[3][s0 & 0xFF];
        uint32_t t2 = kTe[0][s2 >> 24] ^ kTe[1][(s3 >> 16) & 0xFF] ^ kTe[2][(s0 >> 8) & 0xFF] ^ kTe[3][s1 & 0xFF];
        uint32_t t3 = kTe[0][s3 >> 24] ^ kTe[1][(s0 >> 16) & 0xFF] ^ kTe[2][(s1 >> 8) & 0xFF] ^ kTe[3][s2 & 0xFF];
        s0 = t0 ^ k[round][0];
        s1 = t1 ^ k[round][1];
        s2 = t2 ^ k[round][2];
        s3 = t3 ^ k[round][3];
    }
    const uint32_t* last = k[m_rounds];
    Store(Word(kS[Byte(s0, 0)], kS[Byte(s1, 1)], kS[Byte(s2, 2)], kS[Byte(s3, 3)]) ^ last[0], out);
    Store(Word(kS[Byte(s1, 0)], kS[Byte(s2, 1)], kS[Byte(s3, 2)], kS[Byte(s0, 3)]) ^ last[1], out + 4);
    Store(Word(kS[Byte(s2, 0)], kS[Byte(s3, 1)], kS[Byte(s0, 2)], kS[Byte(s1, 3)]) ^ last[2], out + 8);
    Store(Word(kS[Byte(s3, 0)], kS[Byte(s0, 1)], kS[Byte(s1, 2)], kS[Byte(s2, 3)]) ^ last[3], out + 12);
}

void CRijndael::DecryptBlock16(const uint8_t* in, uint8_t* out) const {
    const uint32_t(*k)[kMaxColumns] = m_decryptKeys;
    uint32_t s0 = Load(in) ^ k[0][0];
    uint32_t s1 = Load(in + 4) ^ k[0][1];
    uint32_t s2 = Load(in + 8) ^ k[0][2];
    uint32_t s3 = Load(in + 12) ^ k[0][3];
    for (int round = 1; round < m_rounds; ++round) {
        uint32_t t0 = kTd[0][s0 >> 24] ^ kTd[1][(s3 >> 16) & 0xFF] ^ kTd[2][(s2 >> 8) & 0xFF] ^ kTd[3][s1 & 0xFF];
        uint32_t t1 = kTd[0][s1 >> 24] ^ kTd[1][(s0 >> 16) & 0xFF] ^ kTd[2][(s3 >> 8) & 0xFF] ^ kTd[3][s2 & 0xFF];
        uint32_t t2 = kTd[0][s2 >> 24] ^ kTd[1][(s1 >> 16) & 0xFF] ^ kTd[2][(s0 >> 8) & 0xFF] ^ kTd[3][s3 & 0xFF];
        uint32_t t3 = kTd[0][s3 >> 24] ^ kTd[1][(s2 >> 16) & 0xFF] ^ kTd[2][(s1 >> 8) & 0xFF] ^ kTd[3][s0 & 0xFF];
        s0 = t0 ^ k[round][0];
        s1 = t1 ^ k[round][1];
        s2 = t2 ^ k[round][2];
        s3 = t3 ^ k[round][3];
    }
    const uint32_t* last = k[m_rounds];
    Store(Word(kSi[Byte(s0, 0)], kSi[Byte(s3, 1)], kSi[Byte(s2, 2)], kSi[Byte(s1, 3)]) ^ last[0], out);
    Store(Word(kSi[Byte(s1, 0)], kSi[Byte(s0, 1)], kSi[Byte(s3, 2)], kSi[Byte(s2, 3)]) ^ last[1], out + 4);
    Store(Word(kSi[Byte(s2, 0)], kSi[Byte(s1, 1)], kSi[Byte(s0, 2)], kSi[Byte(s3, 3)]) ^ last[2], out + 8);
    Store(Word(kSi[Byte(s3, 0)], kSi[Byte(s2, 1)], kSi[Byte(s1, 2)], kSi[Byte(s0, 3)]) ^ last[3], out + 12);
}

// Any block width: row r of column c comes from column c + offset(r) on the way in and c - offset(r) on
// the way back, modulo the number of columns.
void CRijndael::EncryptBlockAny(const uint8_t* in, uint8_t* out) const {
    const int columns = static_cast<int>(m_blockLength / 4);
    const Shifts shift = ShiftsFor(columns);
    uint32_t s[kMaxColumns];
    uint32_t t[kMaxColumns];
    for (int c = 0; c < columns; ++c) {
        s[c] = Load(in + 4 * c) ^ m_encryptKeys[0][c];
    }
    for (int round = 1; round < m_rounds; ++round) {
        for (int c = 0; c < columns; ++c) {
            t[c] = kTe[0][Byte(s[c], 0)] ^ kTe[1][Byte(s[(c + shift.c1) % columns], 1)] ^
                   kTe[2][Byte(s[(c + shift.c2) % columns], 2)] ^ kTe[3][Byte(s[(c + shift.c3) % columns], 3)] ^
                   m_encryptKeys[round][c];
        }
        std::memcpy(s, t, sizeof(uint32_t) * columns);
    }
    for (int c = 0; c < columns; ++c) {
        uint32_t column = Word(kS[Byte(s[c], 0)], kS[Byte(s[(c + shift.c1) % columns], 1)],
                               kS[Byte(s[(c + shift.c2) % columns], 2)], kS[Byte(s[(c + shift.c3) % columns], 3)]);
        Store(column ^ m_encryptKeys[m_rounds][c], out + 4 * c);
    }
}

void CRijndael::DecryptBlockAny(const uint8_t* in, uint8_t* out) const {
    const int columns = static_cast<int>(m_blockLength / 4);
    const Shifts shift = ShiftsFor(columns);
    // Adding columns before subtracting keeps the indices non-negative.
    const int back1 = columns - shift.c1;
    const int back2 = columns - shift.c2;
    const int back3 = columns - shift.c3;
    uint32_t s[kMaxColumns];
    uint32_t t[kMaxColumns];
    for (int c = 0; c < columns; ++c) {
        s[c] = Load(in + 4 * c) ^ m_decryptKeys[0][c];
    }
    for (int round = 1; round < m_rounds; ++round) {
        for (int c = 0; c < columns; ++c) {
            t[c] = kTd[0][Byte(s[c], 0)] ^ kTd[1][Byte(s[(c + back1) % columns], 1)] ^
                   kTd[2][Byte(s[(c + back2) % columns], 2)] ^ kTd[3][Byte(s[(c + back3) % columns], 3)] ^
                   m_decryptKeys[round][c];
        }
        std::memcpy(s, t, sizeof(uint32_t) * columns);
    }
    for (int c = 0; c < columns; ++c) {
        uint32_t column = Word(kSi[Byte(s[c], 0)], kSi[Byte(s[(c + back1) % columns], 1)],
                               kSi[Byte(s[(c + back2) % columns], 2)], kSi[Byte(s[(c + back3) % columns], 3)]);
        Store(column ^ m_decryptKeys[m_rounds][c], out + 4 * c);
    }
}

void CRijndael::CheckData(size_t length) const {
    if (!m_isInitialized) {
        Fail("Object not Initialized");
    }
    if (length == 0 || length % m_blockLength != 0) {
        Fail("Data not multiple of Block Size");
    }
}

void CRijndael::Encrypt(const uint8_t* in, uint8_t* out, size_t length, int mode) {
    CheckData(length);
    const size_t n = m_blockLength;
    uint8_t block[kMaxBlockLength];
    for (size_t offset = 0; offset < length; offset += n) {
        const uint8_t* source = in + offset;
        uint8_t* target = out + offset;
        if (mode == Cbc) {
            for (size_t i = 0; i < n; ++i) {
                m_chain[i] ^= source[i];
            }
            EncryptBlock(m_chain, target);
            std::memcpy(m_chain, target, n);
        } else if (mode == Cfb) {
            EncryptBlock(m_chain, block);
            for (size_t i = 0; i < n; ++i) {
                target[i] = block[i] ^ source[i];
            }
            std::memcpy(m_chain, target, n);
        } else {
            EncryptBlock(source, target);
        }
    }
}

void CRijndael::Decrypt(const uint8_t* in, uint8_t* out, size_t length, int mode) {
    CheckData(length);
    const size_t n = m_blockLength;
    uint8_t block[kMaxBlockLength];
    // The input block becomes the next chain, so it is saved before an in-place call overwrites it.
    uint8_t saved[kMaxBlockLength];
    for (size_t offset = 0; offset < length; offset += n) {
        const uint8_t* source = in + offset;
        uint8_t* target = out + offset;
        if (mode == Cbc) {
            std::memcpy(saved, source, n);
            DecryptBlock(source, target);
            for (size_t i = 0; i < n; ++i) {
                target[i] ^= m_chain[i];
            }
            std::memcpy(m_chain, saved, n);
        } else if (mode == Cfb) {
            std::memcpy(saved, source, n);
            EncryptBlock(m_chain, block);
            for (size_t i = 0; i < n; ++i) {
                target[i] = block[i] ^ saved[i];
            }
            std::memcpy(m_chain, saved, n);
        } else {
            DecryptBlock(source, target);
        }
    }
}

}  // namespace common
