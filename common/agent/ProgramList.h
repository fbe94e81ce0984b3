// The agent's auto-start and auto-close lists, and the kind-1 payload that adds to them.
#pragma once

#include <cstddef>
#include <optional>
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

// WM_COPYDATA kind 1: an auto-start path at unit 0 and an auto-close path at unit 260, each in a field of 260
// UTF-16 units, either possibly empty.
struct AutoProgramsPayload {
    static constexpr size_t kFieldUnits = 260;
    static constexpr size_t kSize = 2 * kFieldUnits * sizeof(char16_t);

    std::u16string startPath;
    std::u16string closePath;

    // nullopt when `size` is below kSize; bytes past kSize are not looked at (the settings program sends a longer
    // record of which these are the first two fields). A field without a terminator stops at its 259th unit, like
    // the list's buffers.
    static std::optional<AutoProgramsPayload> Read(const void* data, size_t size);
};

}  // namespace common
