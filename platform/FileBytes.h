// Reading a whole file that came from outside, with a bound on its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The file's bytes; nullopt when it cannot be read or is larger than `maxBytes` (nothing is read then).
std::optional<std::vector<uint8_t>> ReadFileUpTo(const std::wstring& path, size_t maxBytes);

}  // namespace platform
