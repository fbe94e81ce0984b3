// What the page grid asks of the file system: whether a path names a file or folder, and which.
#pragma once

#include <string>

namespace common {

// Implemented over FindFirstFileW on Windows and by fakes in tests. Called on the UI thread.
class IFileProbe {
public:
    enum class Kind { Missing, File, Folder };
    virtual ~IFileProbe() = default;
    virtual Kind Probe(const std::u16string& path) = 0;
};

}  // namespace common
