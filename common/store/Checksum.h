// The checksum a profile entry can promise for its file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/store/FileInfo.h"

namespace common {

using Sha256Digest = std::array<uint8_t, 32>;

// The SHA-256 an entry promises: when its comparison letters hold C and its CHECKSUM is 64 hexadecimal digits
// (either case). Any other CHECKSUM text promises nothing and is ignored, as profiles written before it was
// checked carry such texts.
std::optional<Sha256Digest> ExpectedSha256(const CFileInfo& entry);
std::optional<Sha256Digest> ParseSha256(std::u16string_view hex);

}  // namespace common
