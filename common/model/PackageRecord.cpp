// PackageRecord's layout checks and its byte image.
#include "common/model/PackageRecord.h"

#include <cstring>
#include <type_traits>

namespace common {

static_assert(std::is_standard_layout_v<PackageRecord>);
static_assert(std::is_trivially_copyable_v<PackageRecord>);
static_assert(sizeof(PackageRecord) == PackageRecord::kSize);
static_assert(offsetof(PackageRecord, pkgType) == 0);
static_assert(offsetof(PackageRecord, pkgId) == 4);
static_assert(offsetof(PackageRecord, type) == 8);
static_assert(offsetof(PackageRecord, caption) == 12);
static_assert(offsetof(PackageRecord, path) == 2060);
static_assert(offsetof(PackageRecord, param) == 2580);
static_assert(offsetof(PackageRecord, icon) == 3100);
static_assert(offsetof(PackageRecord, reserved1) == 3620);
static_assert(offsetof(PackageRecord, updateFlag) == 3624);
static_assert(offsetof(PackageRecord, deleted) == 3628);
static_assert(offsetof(PackageRecord, reserved2) == 3629);
static_assert(offsetof(PackageRecord, startOpen) == 3637);
static_assert(offsetof(PackageRecord, startClose) == 3638);
static_assert(offsetof(PackageRecord, shortcut) == 3639);
static_assert(offsetof(PackageRecord, alt) == 3640);
static_assert(offsetof(PackageRecord, shift) == 3641);
static_assert(offsetof(PackageRecord, ctrl) == 3642);
static_assert(offsetof(PackageRecord, win) == 3643);

std::optional<PackageRecord> PackageRecord::FromBytes(const void* data, size_t size) {
    if (data == nullptr || size != kSize) {
        return std::nullopt;
    }
    PackageRecord record;
    std::memcpy(static_cast<void*>(&record), data, kSize);
    // The sender's texts may lack a terminator; each field's last unit becomes one.
    record.caption.Terminate();
    record.path.Terminate();
    record.param.Terminate();
    record.icon.Terminate();
    return record;
}

void PackageRecord::ToBytes(uint8_t (&out)[kSize]) const {
    std::memcpy(out, static_cast<const void*>(this), kSize);
}

}  // namespace common
