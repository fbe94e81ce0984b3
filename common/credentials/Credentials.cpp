// Credentials record layout, the cipher adapter, and the file's write and read paths.
#include "common/credentials/Credentials.h"

#include <cstring>
#include <exception>
#include <type_traits>

#include "common/cipher/Rijndael.h"

namespace common {

static_assert(std::is_standard_layout_v<CredentialsRecord>);
static_assert(std::is_trivially_copyable_v<CredentialsRecord>);
static_assert(sizeof(CredentialsRecord) == CredentialsRecord::kSize);
static_assert(offsetof(CredentialsRecord, marker) == 0);
static_assert(offsetof(CredentialsRecord, id) == 20);
static_assert(offsetof(CredentialsRecord, password) == 540);
static_assert(offsetof(CredentialsRecord, reserved) == 1060);
static_assert(sizeof(char16_t) == 2);
static_assert(kCredentialsMaxUnits == decltype(CredentialsRecord::id)::kUnits - 1);
static_assert(kCredentialsMaxUnits == decltype(CredentialsRecord::password)::kUnits - 1);

namespace {

constexpr char16_t kMarker[] = u"kqz%^&";

// The file's fixed key and chain block, as ASCII bytes; ECB ignores the chain, but key set-up wants one.
constexpr uint8_t kKey[16] = {'9', '0', '8', '1', '7', '2', '6', '3', '5', '4', '4', '5', '3', '6', '2', '7'};
constexpr uint8_t kChain[16] = {'4', '7', '2', '9', '5', '0', '1', '8', '3', '6', '1', '5', '2', '0', '4', '7'};

static_assert(CredentialsRecord::kSize % sizeof(kKey) == 0, "the record is whole AES blocks");

// The one caller of the cipher: its exceptions stop here and become false. On false `out` is all zero,
// not a partly deciphered record.
bool RunCipher(const uint8_t (&in)[CredentialsRecord::kSize], uint8_t (&out)[CredentialsRecord::kSize],
               bool isEncipher) {
    try {
        CRijndael cipher;
        cipher.MakeKey(kKey, kChain, sizeof(kKey), 16);
        if (isEncipher) {
            cipher.Encrypt(in, out, sizeof(in), CRijndael::Ecb);
        } else {
            cipher.Decrypt(in, out, sizeof(in), CRijndael::Ecb);
        }
        return true;
    } catch (const std::exception&) {
        std::memset(out, 0, sizeof(out));
        return false;
    }
}

std::optional<CredentialsError> CheckText(const std::u16string& text, CredentialsError tooLong,
                                          CredentialsError containsNul) {
    if (text.size() > kCredentialsMaxUnits) {
        return tooLong;
    }
    if (text.find(u'\0') != std::u16string::npos) {
        return containsNul;
    }
    return std::nullopt;
}

}  // namespace

CredentialsRecord CredentialsRecord::FromBytes(const uint8_t (&bytes)[kSize]) {
    CredentialsRecord record;
    std::memcpy(static_cast<void*>(&record), bytes, kSize);
    record.marker.Terminate();
    record.id.Terminate();
    record.password.Terminate();
    return record;
}

void CredentialsRecord::ToBytes(uint8_t (&out)[kSize]) const {
    std::memcpy(out, static_cast<const void*>(this), kSize);
}

bool CredentialsRecord::HasMarker() const {
    return marker.Get() == kMarker;
}

std::optional<std::vector<uint8_t>> EncipherCredentials(const std::u16string& id, const std::u16string& password,
                                                        CredentialsError* error) {
    std::optional<CredentialsError> problem =
        CheckText(id, CredentialsError::IdTooLong, CredentialsError::IdContainsNul);
    if (!problem) {
        problem = CheckText(password, CredentialsError::PasswordTooLong, CredentialsError::PasswordContainsNul);
    }

    uint8_t plain[CredentialsRecord::kSize] = {};
    uint8_t enciphered[CredentialsRecord::kSize] = {};
    if (!problem) {
        CredentialsRecord record;
        record.marker.Set(kMarker);
        record.id.Set(id);
        record.password.Set(password);
        record.ToBytes(plain);
        if (!RunCipher(plain, enciphered, true)) {
            problem = CredentialsError::CipherFailed;
        }
    }
    if (problem) {
        if (error != nullptr) {
            *error = *problem;
        }
        return std::nullopt;
    }
    return std::vector<uint8_t>(enciphered, enciphered + sizeof(enciphered));
}

Credentials ReadCredentialsFile(const std::vector<uint8_t>& fileBytes) {
    uint8_t enciphered[CredentialsRecord::kSize] = {};
    if (!fileBytes.empty()) {
        std::memcpy(enciphered, fileBytes.data(),
                    fileBytes.size() < sizeof(enciphered) ? fileBytes.size() : sizeof(enciphered));
    }
    uint8_t plain[CredentialsRecord::kSize] = {};
    Credentials credentials;
    if (RunCipher(enciphered, plain, false)) {
        CredentialsRecord record = CredentialsRecord::FromBytes(plain);
        if (record.HasMarker()) {
            credentials.id = record.id.Get();
            credentials.password = record.password.Get();
            credentials.isValid = true;
        }
    }
    return credentials;
}

}  // namespace common
