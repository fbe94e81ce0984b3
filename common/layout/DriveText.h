// The two texts of the launcher's bottom bar: the drive label and the free-space line.
#pragma once

#include <cstdint>
#include <string>

namespace common {

// "<label>(X:)"; an empty volume label gives "(X:)".
std::u16string FormatDriveLabel(const std::u16string& volumeLabel, char16_t driveLetter);

// One size as "%.1f" and a unit: B below 1 KiB; KB (bytes / 1024) below 1 MiB; MB (whole KiB / 1024) below 1 GiB;
// GB (whole MiB / 1024) below 1 TiB; TB (whole GiB / 1024) from 1 TiB on, so large drives do not show
// four-digit gigabytes. The whole-unit steps truncate, as the free-space line always has.
std::u16string FormatDriveSize(uint64_t bytes);

// "<free> free/<total>", each part as FormatDriveSize, e.g. "300.0MB free/2.0GB".
std::u16string FormatFreeSpace(uint64_t freeBytes, uint64_t totalBytes);

}  // namespace common
