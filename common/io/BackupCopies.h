// Copies of a file kept beside it before the suite replaces it or rewrites it from a partial read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/io/FileStore.h"

namespace common {

// How it works: "<path>.bak" holds the newest kept copy, "<path>.bak2" and "<path>.bak3" the two before it. Each
// new copy moves the older ones one place down and the oldest drops out. Bytes already held by one of the copies
// are not kept again, and a file that is byte for byte the suite's own default is never kept: it holds nothing of
// the user's. So neither the light document's copy of a file it read only in part nor the agent's copy of a file
// it rejected can push the user's last own file out, not even when one bad start follows another.
class BackupCopies {
public:
    static constexpr size_t kCopies = 3;

    // The name of copy `index` (0 is the newest): "<path>.bak", "<path>.bak2", "<path>.bak3".
    static std::u16string CopyPath(const std::u16string& path, size_t index);

    // Keeps `bytes` as the newest copy of `path` unless one of the copies already holds them or they equal
    // `suiteDefault` (when given). False when a copy could not be written: the caller must then leave the file
    // as it is. Copies that could be moved before the failure stay; nothing already kept is lost.
    static bool Keep(IFileStore& store, const std::u16string& path, const std::vector<uint8_t>& bytes,
                     const std::vector<uint8_t>* suiteDefault = nullptr);
};

}  // namespace common
