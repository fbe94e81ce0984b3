// SHA-256 through the system's cryptography (CNG).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "common/store/Checksum.h"

namespace platform {

// bcrypt.dll's hash functions (Sha256.cpp).
struct BCryptCalls;

// Calling thread: one at a time. A hash whose provider could not be opened, or whose update failed, finishes
// with nullopt, so a file is never taken as checked when it was not.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Update(const void* data, size_t size);
    // The digest of everything given so far; the hash cannot be used after it.
    std::optional<common::Sha256Digest> Finish();

private:
    const BCryptCalls* m_calls;   // null when bcrypt.dll cannot be loaded
    void* m_algorithm = nullptr;  // BCRYPT_ALG_HANDLE
    void* m_hash = nullptr;       // BCRYPT_HASH_HANDLE
    bool m_isBroken = false;
};

// The digest of a whole file; nullopt when it cannot be read.
std::optional<common::Sha256Digest> Sha256OfFile(const std::wstring& path);

}  // namespace platform
