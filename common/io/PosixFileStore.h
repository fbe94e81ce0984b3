// IFileStore over POSIX calls, for the native build and its tests.
#pragma once

#if !defined(_WIN32)

#include "common/io/FileStore.h"

namespace common {

// Paths are converted to UTF-8 and used as they are (backslashes are not translated).
class PosixFileStore final : public IFileStore {
public:
    // Files above this size are refused by ReadAll; the suite's files are a few kilobytes.
    static constexpr size_t kMaxReadBytes = 64u << 20;

    std::optional<std::vector<uint8_t>> ReadAll(const std::u16string& path) override;
    // The new file keeps the permission bits of the file it replaces (0644 when there was none); it is synced
    // before the rename so that a crash cannot leave an empty file in place of the old one.
    bool WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) override;
};

}  // namespace common

#endif
