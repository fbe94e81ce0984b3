// The two-function file interface every file model reads and writes through, so models never touch the OS.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace common {

// Implementations: PosixFileStore (native build), platform::FileStoreWin (Windows), fakes in tests.
// Paths are UTF-16 as the suite holds them. Calls are made from one thread at a time per instance.
class IFileStore {
public:
    virtual ~IFileStore() = default;

    // The whole file; nullopt when it is missing, unreadable or not a regular file.
    virtual std::optional<std::vector<uint8_t>> ReadAll(const std::u16string& path) = 0;

    // Replaces the file whole: writes a temporary file in the same folder, checks every write and the close, then
    // renames it over `path`. On any failure the temporary file is removed, the old file is left as it was, and
    // the result is false. Readers therefore see either the old content or the new one, never a mixture.
    virtual bool WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) = 0;
};

}  // namespace common
