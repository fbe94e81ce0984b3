// The credentials file TolvIni.dat: the user's store ID and password as one enciphered fixed record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/model/FixedText.h"

namespace common {

// The plain record behind the file. Layout is fixed (little-endian UTF-16, offsets pinned by static_asserts
// in Credentials.cpp); FromBytes and ToBytes are the only ways in and out of bytes.
struct CredentialsRecord {
    static constexpr size_t kSize = 1248;

    FixedText<10> marker;
    FixedText<260> id;
    FixedText<260> password;
    uint8_t reserved[188] = {};  // written as zero, never read

    // Each text field gets a terminator in its last unit, so no text runs into the next field.
    static CredentialsRecord FromBytes(const uint8_t (&bytes)[kSize]);
    void ToBytes(uint8_t (&out)[kSize]) const;
    // The marker compared as a whole zero-terminated string, case included.
    bool HasMarker() const;
};

inline constexpr size_t kCredentialsFileSize = CredentialsRecord::kSize;
// Longest ID or password the record holds: the field less its terminator.
inline constexpr size_t kCredentialsMaxUnits = 259;

// What the agent knows about the user; empty texts when the file is missing or not a valid record.
struct Credentials {
    std::u16string id;
    std::u16string password;
    bool isValid = false;  // the file deciphered to a record with the right marker
};

enum class CredentialsError {
    IdTooLong,  // more than kCredentialsMaxUnits UTF-16 units
    PasswordTooLong,
    IdContainsNul,  // would read back cut at the NUL
    PasswordContainsNul,
    CipherFailed,
};

// Builds the record (marker, ID, password, zero reserved bytes) and returns the kCredentialsFileSize bytes
// of the file. An ID or password that would not read back unchanged is refused rather than cut: the
// result is nullopt and *error (when given) says which.
std::optional<std::vector<uint8_t>> EncipherCredentials(const std::u16string& id, const std::u16string& password,
                                                        CredentialsError* error = nullptr);

// Reads the file's bytes as the agent does: a short file counts as zero-filled up to kCredentialsFileSize
// (its missing blocks decipher to noise), bytes past kCredentialsFileSize are ignored. Never fails: an
// unreadable or foreign file gives empty, invalid credentials.
Credentials ReadCredentialsFile(const std::vector<uint8_t>& fileBytes);

}  // namespace common
