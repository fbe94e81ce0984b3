// Size and checksum checks around a fetch.
#include "platform/inet/VerifiedFetch.h"

#include <optional>

#include "common/store/Checksum.h"
#include "platform/Sha256.h"

namespace platform {

namespace {

// Hashes every chunk, then hands it on to the job's own sink.
class HashingSink final : public ITransferSink {
public:
    explicit HashingSink(ITransferSink* next) : m_next(next) {}
    bool OnChunk(const uint8_t* data, size_t size) override {
        m_hash.Update(data, size);
        return m_next == nullptr || m_next->OnChunk(data, size);
    }
    void OnNetworkStep() override {
        if (m_next != nullptr) {
            m_next->OnNetworkStep();
        }
    }
    std::optional<common::Sha256Digest> Finish() { return m_hash.Finish(); }

private:
    ITransferSink* m_next;
    Sha256 m_hash;
};

std::optional<int64_t> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

bool IsFileAsListed(const std::wstring& path, const common::CFileInfo& entry) {
    std::optional<int64_t> size = FileSize(path);
    if (!size || *size != entry.fetchedSize) {
        return false;
    }
    std::optional<common::Sha256Digest> expected = common::ExpectedSha256(entry);
    return !expected || Sha256OfFile(path) == expected;
}

DWORD FtpFetchAsListed(const std::wstring& url, const std::wstring& localPath, const common::CFileInfo& entry,
                       const TransferJob& job, int64_t& received) {
    const std::optional<common::Sha256Digest> expected = common::ExpectedSha256(entry);
    HashingSink hashing(job.sink);
    TransferJob hashed = job;
    if (expected) {
        hashed.sink = &hashing;
    }
    received = 0;
    const DWORD code = FtpFetch(url, localPath, &hashed, received);
    if (code != kTransferOk) {
        return code;
    }
    if (received != entry.fetchedSize || (expected && hashing.Finish() != expected)) {
        // Not what the profile lists: it is not kept, or a later run would install it.
        ::DeleteFileW(localPath.c_str());
        return kTransferFileError;
    }
    return kTransferOk;
}

}  // namespace platform
