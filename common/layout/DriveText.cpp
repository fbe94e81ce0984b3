// Drive label and free-space formatting.
#include "common/layout/DriveText.h"

#include <cstdio>

namespace common {
namespace {

constexpr uint64_t kKiB = 1024;
constexpr uint64_t kMiB = kKiB * 1024;
constexpr uint64_t kGiB = kMiB * 1024;
constexpr uint64_t kTiB = kGiB * 1024;

std::u16string Widen(const char* text) {
    std::u16string out;
    for (; *text != '\0'; ++text) {
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(*text)));
    }
    return out;
}

}  // namespace

std::u16string FormatDriveLabel(const std::u16string& volumeLabel, char16_t driveLetter) {
    std::u16string text = volumeLabel;
    text += u'(';
    text += driveLetter;
    text += u":)";
    return text;
}

std::u16string FormatDriveSize(uint64_t bytes) {
    double value = 0;
    const char* unit = "B";
    if (bytes < kKiB) {
        value = static_cast<double>(bytes);
    } else if (bytes < kMiB) {
        value = static_cast<double>(bytes) / 1024.0;
        unit = "KB";
    } else if (bytes < kGiB) {
        value = static_cast<double>(bytes / kKiB) / 1024.0;
        unit = "MB";
    } else if (bytes < kTiB) {
        value = static_cast<double>(bytes / kMiB) / 1024.0;
        unit = "GB";
    } else {
        value = static_cast<double>(bytes / kGiB) / 1024.0;
        unit = "TB";
    }
    // Largest case: 2^64 bytes is 16777216.0TB, well inside the buffer.
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.1f%s", value, unit);
    return Widen(buffer);
}

std::u16string FormatFreeSpace(uint64_t freeBytes, uint64_t totalBytes) {
    return FormatDriveSize(freeBytes) + u" free/" + FormatDriveSize(totalBytes);
}

}  // namespace common
