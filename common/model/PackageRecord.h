// The fixed 3644-byte record of one launcher item, as held in memory and sent in WM_COPYDATA kinds 4 and 5.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/ipc/CopyData.h"
#include "common/model/FixedText.h"

namespace common {

// Binary layout is fixed (little-endian, UTF-16 texts NUL-terminated inside their fields) and identical in
// every build; PackageRecord.cpp pins each offset with static_asserts. Texts go through FixedText, which
// cuts to the field, so no field can be overrun.
struct PackageRecord {
    static constexpr size_t kSize = kPackageRecordBytes;

    int32_t pkgType = 0;
    int32_t pkgId = 0;
    int32_t type = 0;
    FixedText<1024> caption;
    FixedText<260> path;
    FixedText<260> param;
    FixedText<260> icon;
    int32_t reserved1 = 0;
    int32_t updateFlag = 0;
    uint8_t deleted = 0;
    uint8_t reserved2[8] = {};
    uint8_t startOpen = 0;
    uint8_t startClose = 0;
    uint8_t shortcut = 0;  // virtual-key code of the hotkey's key, 0 for none
    uint8_t alt = 0;
    uint8_t shift = 0;
    uint8_t ctrl = 0;
    uint8_t win = 0;

    // Reads a payload; nullopt unless it is exactly kSize bytes. Each text is terminated inside its field.
    static std::optional<PackageRecord> FromBytes(const void* data, size_t size);
    // Writes exactly kSize bytes.
    void ToBytes(uint8_t (&out)[kSize]) const;
};

}  // namespace common
