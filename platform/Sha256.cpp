// SHA-256 over BCrypt.
#include "platform/Sha256.h"

#include <bcrypt.h>

#include <vector>

#include "platform/SystemLibrary.h"
#include "platform/UniqueHandle.h"

namespace platform {

// bcrypt.dll's hash functions, loaded at the first hash: the agent hashes only while it installs or updates.
struct BCryptCalls {
    decltype(&::BCryptOpenAlgorithmProvider) openAlgorithmProvider;
    decltype(&::BCryptCloseAlgorithmProvider) closeAlgorithmProvider;
    decltype(&::BCryptCreateHash) createHash;
    decltype(&::BCryptHashData) hashData;
    decltype(&::BCryptFinishHash) finishHash;
    decltype(&::BCryptDestroyHash) destroyHash;

    bool IsComplete() const {
        return openAlgorithmProvider && closeAlgorithmProvider && createHash && hashData && finishHash && destroyHash;
    }
};

namespace {

bool Succeeded(NTSTATUS status) {
    return status >= 0;
}

BCryptCalls LoadBCrypt() {
    constexpr wchar_t kDll[] = L"bcrypt.dll";
    BCryptCalls calls = {
        SystemLibrary::Function<decltype(&::BCryptOpenAlgorithmProvider)>(kDll, "BCryptOpenAlgorithmProvider"),
        SystemLibrary::Function<decltype(&::BCryptCloseAlgorithmProvider)>(kDll, "BCryptCloseAlgorithmProvider"),
        SystemLibrary::Function<decltype(&::BCryptCreateHash)>(kDll, "BCryptCreateHash"),
        SystemLibrary::Function<decltype(&::BCryptHashData)>(kDll, "BCryptHashData"),
        SystemLibrary::Function<decltype(&::BCryptFinishHash)>(kDll, "BCryptFinishHash"),
        SystemLibrary::Function<decltype(&::BCryptDestroyHash)>(kDll, "BCryptDestroyHash"),
    };
    return calls;
}

// Null when bcrypt.dll or one of its functions is missing: every hash is then broken.
const BCryptCalls* BCrypt() {
    static const BCryptCalls s_calls = LoadBCrypt();  // made by the first caller, thread-safe
    return s_calls.IsComplete() ? &s_calls : nullptr;
}

}  // namespace

Sha256::Sha256() : m_calls(BCrypt()) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    m_isBroken = m_calls == nullptr ||
                 !Succeeded(m_calls->openAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
    m_algorithm = algorithm;
    m_isBroken = m_isBroken || !Succeeded(m_calls->createHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    m_hash = hash;
}

Sha256::~Sha256() {
    if (m_hash != nullptr) {
        m_calls->destroyHash(m_hash);
    }
    if (m_algorithm != nullptr) {
        m_calls->closeAlgorithmProvider(m_algorithm, 0);
    }
}

void Sha256::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const UCHAR*>(data);
    while (!m_isBroken && size > 0) {
        const ULONG part = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        m_isBroken = !Succeeded(m_calls->hashData(m_hash, const_cast<UCHAR*>(bytes), part, 0));
        bytes += part;
        size -= part;
    }
}

std::optional<common::Sha256Digest> Sha256::Finish() {
    common::Sha256Digest digest{};
    if (m_isBroken || !Succeeded(m_calls->finishHash(m_hash, digest.data(), static_cast<ULONG>(digest.size()), 0))) {
        return std::nullopt;
    }
    m_isBroken = true;  // a finished hash takes no more data
    return digest;
}

std::optional<common::Sha256Digest> Sha256OfFile(const std::wstring& path) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        return std::nullopt;
    }
    Sha256 hash;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            return hash.Finish();
        }
        hash.Update(buffer.data(), read);
    }
}

}  // namespace platform
