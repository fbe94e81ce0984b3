// The agent's auto-start and auto-close lists.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace common {

// An ordered list of program paths, each at most kMaxUnits units (a 260-unit buffer with its terminator); longer
// paths are cut. Not thread-safe; the agent's UI thread owns both lists.
class ProgramList {
public:
    static constexpr size_t kMaxUnits = 259;

    void Clear() { m_paths.clear(); }
    // As the environment file lists them: duplicates are kept, an empty path is skipped.
    void Append(const std::u16string& path);
    // As the settings program adds them: nothing when the path is empty or already listed, compared ignoring case
    // the way the suite folds names. Returns whether the path was added.
    bool AppendUnique(const std::u16string& path);

    const std::vector<std::u16string>& Paths() const { return m_paths; }

private:
    std::vector<std::u16string> m_paths;
};

}  // namespace common
