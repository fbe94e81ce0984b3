// The credentials file against an independent picture of its bytes, and the faults a read must survive:
// foreign keys, wrong markers, unterminated fields, short and overlong files.
#include "common/credentials/Credentials.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/cipher/Rijndael.h"

namespace common {
namespace {

const std::u16string kKoreanId = u"사용자아이디";
const std::u16string kKoreanPassword = u"비밀번호!123";

const uint8_t kFileKey[16] = {'9', '0', '8', '1', '7', '2', '6', '3', '5', '4', '4', '5', '3', '6', '2', '7'};

// Puts text as UTF-16LE at a byte offset, with nothing added: the caller decides about terminators.
void PutText(std::vector<uint8_t>& record, size_t offset, const std::u16string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        record[offset + 2 * i] = static_cast<uint8_t>(text[i] & 0xFF);
        record[offset + 2 * i + 1] = static_cast<uint8_t>(text[i] >> 8);
    }
}

// A plain record laid out by hand from the documented offsets, not through CredentialsRecord.
std::vector<uint8_t> PlainRecord(const std::u16string& marker, const std::u16string& id,
                                 const std::u16string& password) {
    std::vector<uint8_t> record(1248, 0);
    PutText(record, 0, marker);
    PutText(record, 20, id);
    PutText(record, 540, password);
    return record;
}

std::vector<uint8_t> Encipher(const std::vector<uint8_t>& plain, const uint8_t* key = kFileKey) {
    CRijndael cipher;
    cipher.MakeKey(key, nullptr, 16, 16);
    std::vector<uint8_t> out(plain.size());
    cipher.Encrypt(plain.data(), out.data(), plain.size(), CRijndael::Ecb);
    return out;
}

std::vector<uint8_t> Decipher(const std::vector<uint8_t>& file) {
    CRijndael cipher;
    cipher.MakeKey(kFileKey, nullptr, 16, 16);
    std::vector<uint8_t> out(file.size());
    cipher.Decrypt(file.data(), out.data(), file.size(), CRijndael::Ecb);
    return out;
}

std::vector<uint8_t> KoreanFile() {
    std::optional<std::vector<uint8_t>> file = EncipherCredentials(kKoreanId, kKoreanPassword);
    EXPECT_TRUE(file.has_value());
    return file.value_or(std::vector<uint8_t>());
}

TEST(Credentials, KoreanIdAndPasswordRoundTrip) {
    Credentials read = ReadCredentialsFile(KoreanFile());
    EXPECT_TRUE(read.isValid);
    EXPECT_EQ(read.id, kKoreanId);
    EXPECT_EQ(read.password, kKoreanPassword);
}

// Pins size, offsets, byte order, zero padding and the file key against a record built by hand.
TEST(Credentials, FileIsDocumentedRecordUnderFileKey) {
    std::vector<uint8_t> file = KoreanFile();
    ASSERT_EQ(file.size(), 1248u);
    EXPECT_EQ(Decipher(file), PlainRecord(u"kqz%^&", kKoreanId, kKoreanPassword));
}

// The marker block's value comes from a separate AES implementation (OpenSSL, aes-128-ecb with the file
// key), so a key, mode or byte-order slip shared by cipher and test cannot pass.
TEST(Credentials, MarkerBlockMatchesIndependentAes) {
    std::vector<uint8_t> file = KoreanFile();
    const uint8_t expected[16] = {0xef, 0xa9, 0x34, 0x2b, 0x83, 0x82, 0xa0, 0x57,
                                  0x59, 0x73, 0xa8, 0xa8, 0x4c, 0xa5, 0x5b, 0xcd};
    ASSERT_GE(file.size(), 16u);
    EXPECT_EQ(std::memcmp(file.data(), expected, 16), 0);
}

TEST(Credentials, LongestIdAndPasswordRoundTrip) {
    std::u16string id(kCredentialsMaxUnits, u'가');
    std::u16string password(kCredentialsMaxUnits, u'z');
    std::optional<std::vector<uint8_t>> file = EncipherCredentials(id, password);
    ASSERT_TRUE(file.has_value());
    Credentials read = ReadCredentialsFile(*file);
    EXPECT_EQ(read.id, id);
    EXPECT_EQ(read.password, password);
}

TEST(Credentials, EmptyIdAndPasswordMakeValidRecord) {
    std::optional<std::vector<uint8_t>> file = EncipherCredentials(u"", u"");
    ASSERT_TRUE(file.has_value());
    Credentials read = ReadCredentialsFile(*file);
    EXPECT_TRUE(read.isValid);
    EXPECT_TRUE(read.id.empty());
    EXPECT_TRUE(read.password.empty());
}

struct RefusalCase {
    const char* name;
    std::u16string id;
    std::u16string password;
    CredentialsError error;
};

TEST(Credentials, RefusesTextThatWouldNotReadBackUnchanged) {
    const RefusalCase cases[] = {
        {"IdTooLong", std::u16string(kCredentialsMaxUnits + 1, u'a'), u"pw", CredentialsError::IdTooLong},
        {"PasswordTooLong", u"id", std::u16string(kCredentialsMaxUnits + 1, u'비'), CredentialsError::PasswordTooLong},
        {"IdWithNul", std::u16string(u"ab\0cd", 5), u"pw", CredentialsError::IdContainsNul},
        {"PasswordWithNul", u"id", std::u16string(u"\0", 1), CredentialsError::PasswordContainsNul},
    };
    for (const RefusalCase& c : cases) {
        CredentialsError error = CredentialsError::CipherFailed;
        EXPECT_FALSE(EncipherCredentials(c.id, c.password, &error).has_value()) << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

TEST(Credentials, FileUnderAnotherKeyReadsEmpty) {
    const uint8_t otherKey[16] = {'9', '0', '8', '1', '7', '2', '6', '3', '5', '4', '4', '5', '3', '6', '2', '8'};
    Credentials read = ReadCredentialsFile(Encipher(PlainRecord(u"kqz%^&", kKoreanId, kKoreanPassword), otherKey));
    EXPECT_FALSE(read.isValid);
    EXPECT_TRUE(read.id.empty());
    EXPECT_TRUE(read.password.empty());
}

struct MarkerCase {
    const char* name;
    std::u16string markerField;  // up to 10 units, written without an added terminator
    bool isValid;
};

// The marker is one whole zero-terminated string, case included; what follows its terminator is ignored.
TEST(Credentials, OnlyExactMarkerMakesRecordValid) {
    const MarkerCase cases[] = {
        {"Exact", u"kqz%^&", true},
        {"JunkAfterTerminator", std::u16string(u"kqz%^&\0xyz", 10), true},
        {"UpperCase", u"KQZ%^&", false},
        {"Prefix", u"kqz%^", false},
        {"Longer", u"kqz%^&x", false},
        {"Empty", u"", false},
        {"FieldFullNoTerminator", u"kqz%^&kqz%", false},
    };
    for (const MarkerCase& c : cases) {
        Credentials read = ReadCredentialsFile(Encipher(PlainRecord(c.markerField, kKoreanId, kKoreanPassword)));
        EXPECT_EQ(read.isValid, c.isValid) << c.name;
        EXPECT_EQ(read.id, c.isValid ? kKoreanId : u"") << c.name;
        EXPECT_EQ(read.password, c.isValid ? kKoreanPassword : u"") << c.name;
    }
}

// An ID filling its whole field must not run on into the password, nor the password into reserved bytes.
TEST(Credentials, UnterminatedFieldsStopAtTheirLastUnit) {
    std::vector<uint8_t> plain = PlainRecord(u"kqz%^&", std::u16string(260, u'아'), std::u16string(260, u'p'));
    std::fill(plain.begin() + 1060, plain.end(), 0x41);
    Credentials read = ReadCredentialsFile(Encipher(plain));
    EXPECT_TRUE(read.isValid);
    EXPECT_EQ(read.id, std::u16string(259, u'아'));
    EXPECT_EQ(read.password, std::u16string(259, u'p'));
}

struct LengthCase {
    size_t length;
    bool isValid;
    bool isIdIntact;
    bool isPasswordIntact;
};

// Missing bytes count as zero: blocks that survive decipher as before, lost ones to noise. The ID ends
// in block 1 and the password in block 34, so a cut past them loses only reserved bytes.
TEST(Credentials, ShortFileReadsAsZeroFilled) {
    const LengthCase cases[] = {
        {0, false, false, false}, {15, false, false, false}, {100, true, true, false},
        {1232, true, true, true}, {1247, true, true, true},
    };
    std::vector<uint8_t> full = KoreanFile();
    for (const LengthCase& c : cases) {
        std::vector<uint8_t> file(full.begin(), full.begin() + c.length);
        file.shrink_to_fit();
        Credentials read = ReadCredentialsFile(file);
        EXPECT_EQ(read.isValid, c.isValid) << c.length;
        EXPECT_EQ(read.id == kKoreanId, c.isIdIntact) << c.length;
        EXPECT_EQ(read.password == kKoreanPassword, c.isPasswordIntact) << c.length;
        EXPECT_LE(read.id.size(), kCredentialsMaxUnits);
        EXPECT_LE(read.password.size(), kCredentialsMaxUnits);
    }
}

TEST(Credentials, OverlongFileReadsOnlyFirstRecord) {
    std::vector<uint8_t> file = KoreanFile();
    std::optional<std::vector<uint8_t>> second = EncipherCredentials(u"other", u"other");
    ASSERT_TRUE(second.has_value());
    file.insert(file.end(), second->begin(), second->end());
    file.push_back(0x7F);
    Credentials read = ReadCredentialsFile(file);
    EXPECT_TRUE(read.isValid);
    EXPECT_EQ(read.id, kKoreanId);
    EXPECT_EQ(read.password, kKoreanPassword);
}

}  // namespace
}  // namespace common
