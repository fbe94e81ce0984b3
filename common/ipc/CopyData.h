// WM_COPYDATA payloads: their kinds, fixed records and the one check every receiver makes before reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace common {

enum class CopyDataKind : uint32_t {
    UpdateCheck = 0,      // settings -> agent: profile path and package name
    AutoPrograms = 1,     // settings -> agent: two paths
    UpdateStarts = 2,     // agent -> launcher: PackageAnnounce
    InstallStarts = 3,    // agent -> launcher: PackageAnnounce
    AddItem = 4,          // agent -> launcher: PackageRecord
    RemoveItem = 5,       // agent -> launcher: PackageRecord (id and caption)
    HotKey = 6,           // settings -> agent: hotkey record
    BackImageOn = 7,      // settings -> launcher: NUL-terminated UTF-16 path
    BackImageOff = 8,     // settings -> launcher: no data
};

// The 624-byte announcement of a package whose installation or update starts.
struct PackageAnnounce {
    static constexpr size_t kSize = 624;
    static constexpr size_t kCaptionUnits = 50;
    static constexpr size_t kPathUnits = 260;

    int32_t packageId = 0;
    std::u16string caption;
    std::u16string programPath;

    // Reads a payload; nullopt when it is shorter than the record. Texts stop at their field's end.
    static std::optional<PackageAnnounce> Read(const void* data, size_t size);
    // Writes exactly kSize bytes into out (texts cut to leave room for the terminator).
    void Write(uint8_t (&out)[kSize]) const;
};

// Largest background-image path payload: 260 UTF-16 units including the terminator.
inline constexpr size_t kBackImagePathBytes = 520;

// True when a payload of this kind and size may be read by the launcher. Unknown kinds are refused.
bool IsLauncherPayloadAcceptable(uint32_t kind, const void* data, size_t size);

// The path carried by kind 7: nullopt unless a NUL lies within the first kBackImagePathBytes.
std::optional<std::u16string> ReadBackImagePath(const void* data, size_t size);

}  // namespace common
