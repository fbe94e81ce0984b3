// The WM_COPYDATA records the settings program sends the agent (kinds 0, 1 and 6): their layouts, the one writer
// and the one bounds-checked reader of each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ipc/CopyData.h"

namespace common {

// Kind 0: the store's profile path at byte 0 and the package's folder name at byte 520, each in a field of 260
// UTF-16 units. The agent answers 1 when the store holds a newer version.
struct UpdateCheckPayload {
    static constexpr size_t kFieldUnits = 260;
    static constexpr size_t kProfilePathOffset = 0;
    static constexpr size_t kFolderNameOffset = kFieldUnits * sizeof(char16_t);
    static constexpr size_t kSize = kSettingsRecordBytes;

    std::u16string profilePath;
    std::u16string folderName;

    // The request for a package of the store directory `channel`: "/<channel>/<folder>/Profile.xml" and the folder.
    static UpdateCheckPayload ForPackage(std::u16string_view channel, std::u16string_view folder);
    // nullopt unless `size` is exactly kSize, the settings program's record; only the two fields are looked at. A
    // field without a terminator stops at its 259th unit.
    static std::optional<UpdateCheckPayload> Read(const void* data, size_t size);
    // kSize bytes, as the settings program sends it: the two fields, then zeros. Texts are cut to 259 units.
    std::vector<uint8_t> Write() const;
};

// Kind 1: an auto-start path at byte 0 and an auto-close path at byte 520, each in a field of 260 UTF-16 units,
// either possibly empty.
struct AutoProgramsPayload {
    static constexpr size_t kFieldUnits = 260;
    static constexpr size_t kStartPathOffset = 0;
    static constexpr size_t kClosePathOffset = kFieldUnits * sizeof(char16_t);
    static constexpr size_t kSize = kSettingsRecordBytes;

    std::u16string startPath;
    std::u16string closePath;

    // A package's path in the field of each of its start flags; the other field stays empty.
    static AutoProgramsPayload ForPackage(std::u16string_view path, bool startOpen, bool startClose);
    // nullopt unless `size` is exactly kSize, the settings program's record; only the two fields are looked at. A
    // field without a terminator stops at its 259th unit, like the agent's list buffers.
    static std::optional<AutoProgramsPayload> Read(const void* data, size_t size);
    // kSize bytes, like kind 0.
    std::vector<uint8_t> Write() const;
};

// Kind 6: six little-endian 32-bit integers: key (low 8 bits used), ALT, SHIFT, CTRL, WIN, package id. The agent
// unregisters the id and registers it again when the key is nonzero.
struct HotKeyPayload {
    static constexpr size_t kKeyOffset = 0;
    static constexpr size_t kAltOffset = 4;
    static constexpr size_t kShiftOffset = 8;
    static constexpr size_t kCtrlOffset = 12;
    static constexpr size_t kWinOffset = 16;
    static constexpr size_t kIdOffset = 20;
    static constexpr size_t kSize = kHotKeyRecordBytes;

    uint8_t key = 0;  // hot key character, 0 for none
    bool alt = false;
    bool shift = false;
    bool ctrl = false;
    bool win = false;
    int32_t id = 0;

    // nullopt unless `size` is exactly kSize. Any nonzero flag counts as set.
    static std::optional<HotKeyPayload> Read(const void* data, size_t size);
    // Exactly kSize bytes: the key in the low byte of its field, each flag as 0 or 1.
    std::vector<uint8_t> Write() const;
};

}  // namespace common
