// Whether a volume-removal notice is about the drive the suite runs from.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

// The drive a removal notice names: the lowest of its 26 drive bits, bit 0 being 'A'. nullopt when none of the
// 26 bits is set. A notice naming several drives is taken as naming its lowest one only.
std::optional<char16_t> RemovedDriveLetter(uint32_t unitMask);

// True when the notice's drive equals the suite's drive, the first unit of `moduleFolder` upper-cased (ASCII).
bool IsSuiteDriveRemoved(uint32_t unitMask, std::u16string_view moduleFolder);

}  // namespace common
