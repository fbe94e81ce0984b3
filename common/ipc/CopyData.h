// WM_COPYDATA payloads: their kinds, fixed records and the one check every receiver makes before reading.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace common {

enum class CopyDataKind : uint32_t {
    UpdateCheck = 0,    // settings -> agent: profile path and package name
    AutoPrograms = 1,   // settings -> agent: two paths
    UpdateStarts = 2,   // agent -> launcher: PackageAnnounce
    InstallStarts = 3,  // agent -> launcher: PackageAnnounce
    AddItem = 4,        // agent -> launcher: PackageRecord
    RemoveItem = 5,     // agent -> launcher: PackageRecord (id and caption)
    HotKey = 6,         // settings -> agent: hotkey record
    BackImageOn = 7,    // settings -> launcher: NUL-terminated UTF-16 path
    BackImageOff = 8,   // settings -> launcher: no data
};

// The size of each payload as the suite's own sender writes it. A receiver takes a payload only at exactly this
// size: a shorter one would be read past its end, and a longer one is not a record this suite sends.
inline constexpr size_t kPackageAnnounceBytes = 624;  // kinds 2 and 3
inline constexpr size_t kPackageRecordBytes = 3644;   // kinds 4 and 5
inline constexpr size_t kSettingsRecordBytes = 1564;  // kinds 0 and 1, as the settings program sends them
inline constexpr size_t kHotKeyRecordBytes = 24;      // kind 6
inline constexpr size_t kBackImagePathBytes = 520;    // kind 7: the whole 260-unit UTF-16 path buffer
inline constexpr size_t kBackImageOffBytes = 0;       // kind 8 carries nothing

// The exact size of a kind's payload; nullopt for a kind the suite does not send.
std::optional<size_t> CopyDataBytes(uint32_t kind);
// True when `size` is exactly the size of `kind`'s payload.
bool IsCopyDataSizeExact(uint32_t kind, size_t size);

// The 624-byte announcement of a package whose installation or update starts.
struct PackageAnnounce {
    static constexpr size_t kSize = kPackageAnnounceBytes;
    static constexpr size_t kCaptionUnits = 50;
    static constexpr size_t kPathUnits = 260;

    int32_t packageId = 0;
    std::u16string caption;
    std::u16string programPath;

    // Reads a payload; nullopt unless it is exactly kSize bytes. Texts stop at their field's end.
    static std::optional<PackageAnnounce> Read(const void* data, size_t size);
    // Writes exactly kSize bytes into out (texts cut to leave room for the terminator).
    void Write(uint8_t (&out)[kSize]) const;
};

// True when a payload of this kind and size may be read by the launcher: one of the kinds it takes (2, 3, 4, 5, 7,
// 8) at exactly its size, kind 7 terminated inside its buffer. Every other kind is refused.
bool IsLauncherPayloadAcceptable(uint32_t kind, const void* data, size_t size);

// The path carried by kind 7: nullopt unless the payload is exactly kBackImagePathBytes with a NUL inside.
std::optional<std::u16string> ReadBackImagePath(const void* data, size_t size);

}  // namespace common
