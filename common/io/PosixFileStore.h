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

    PosixFileStore() = default;
    // Every file written gets exactly these permission bits, whatever the replaced file had: for secrets, 0600.
    // The temporary file is created 0600, so the content is not readable by others on the way either.
    explicit PosixFileStore(unsigned fileMode) : m_fileMode(fileMode) {}

    std::optional<std::vector<uint8_t>> ReadAll(const std::u16string& path) override;
    // The new file keeps the permission bits of the file it replaces (0644 when there was none) unless the store
    // has a mode of its own; it is synced before the rename so that a crash cannot leave an empty file in place of
    // the old one.
    bool WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) override;

private:
    std::optional<unsigned> m_fileMode;
};

}  // namespace common

#endif
