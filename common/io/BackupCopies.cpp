// Rotation of the kept copies of a file.
#include "common/io/BackupCopies.h"

#include <optional>

namespace common {

std::u16string BackupCopies::CopyPath(const std::u16string& path, size_t index) {
    std::u16string copy = path + u".bak";
    if (index > 0) {
        copy += static_cast<char16_t>(u'1' + index);
    }
    return copy;
}

bool BackupCopies::Keep(IFileStore& store, const std::u16string& path, const std::vector<uint8_t>& bytes,
                        const std::vector<uint8_t>* suiteDefault) {
    if (suiteDefault != nullptr && bytes == *suiteDefault) {
        return true;
    }
    std::optional<std::vector<uint8_t>> kept[kCopies];
    for (size_t index = 0; index < kCopies; ++index) {
        kept[index] = store.ReadAll(CopyPath(path, index));
        if (kept[index] == bytes) {
            return true;
        }
    }
    // Oldest first, so that a failure part way leaves one copy twice rather than one copy lost.
    for (size_t index = kCopies - 1; index > 0; --index) {
        if (kept[index - 1] && !store.WriteReplace(CopyPath(path, index), *kept[index - 1])) {
            return false;
        }
    }
    return store.WriteReplace(CopyPath(path, 0), bytes);
}

}  // namespace common
