// In-memory IFileStore for tests and fuzz targets: files in a map, with switchable write failures.
#pragma once

#include <map>
#include <set>

#include "common/io/FileStore.h"

namespace kelvo_test {

class MemoryFileStore final : public common::IFileStore {
public:
    std::optional<std::vector<uint8_t>> ReadAll(const std::u16string& path) override {
        auto found = files.find(path);
        if (found == files.end()) {
            return std::nullopt;
        }
        return found->second;
    }

    bool WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) override {
        ++writeCount;
        if (isWriteFailing || failingPaths.count(path) != 0) {
            return false;
        }
        files[path] = bytes;
        return true;
    }

    std::map<std::u16string, std::vector<uint8_t>> files;
    std::set<std::u16string> failingPaths;
    bool isWriteFailing = false;
    int writeCount = 0;
};

}  // namespace kelvo_test
