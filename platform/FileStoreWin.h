// IFileStore over Win32 file calls, for the Windows programs.
#pragma once

#include "common/io/FileStore.h"

namespace platform {

// Paths are passed to the wide Win32 calls unchanged (no "\\?\" prefix, so MAX_PATH applies as everywhere in the
// suite). Safe to use from any one thread at a time.
class FileStoreWin final : public common::IFileStore {
public:
    // Files above this size are refused by ReadAll; the suite's files are a few kilobytes.
    static constexpr unsigned long long kMaxReadBytes = 64ull << 20;

    std::optional<std::vector<uint8_t>> ReadAll(const std::u16string& path) override;
    // Writes "<path>.<pid>-<n>.tmp" beside the target with CREATE_NEW, flushes it, then
    // MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), tried again for a short while when a reader
    // holds the target open.
    bool WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) override;
};

}  // namespace platform
