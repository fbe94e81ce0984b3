// Whether a volume-removal notice is about the drive the suite runs from.
#pragma once

#include <cstdint>
#include <string_view>

namespace common {

// True when the notice's unit mask (bit 0 is drive A, 26 drive bits) has the bit of the suite's drive, the first
// unit of `moduleFolder`. Every set bit counts: a notice that names two drives at once, the suite's among them,
// still means the suite's drive is gone, and a notice for other drives only never does.
bool IsSuiteDriveRemoved(uint32_t unitMask, std::u16string_view moduleFolder);

}  // namespace common
