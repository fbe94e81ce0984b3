// Checks and readers for the WM_COPYDATA payloads the launcher accepts.
#include "common/ipc/CopyData.h"

#include <algorithm>
#include <iterator>

#include "common/ipc/RecordBytes.h"
#include "common/model/PackageRecord.h"

namespace common {

namespace {
constexpr size_t kIdOffset = 0;
constexpr size_t kCaptionOffset = 4;
constexpr size_t kPathOffset = 104;
static_assert(kCaptionOffset + PackageAnnounce::kCaptionUnits * 2 == kPathOffset);
static_assert(kPathOffset + PackageAnnounce::kPathUnits * 2 == PackageAnnounce::kSize);
static_assert(PackageRecord::kSize == kPackageRecordBytes);
}  // namespace

std::optional<size_t> CopyDataBytes(uint32_t kind) {
    switch (static_cast<CopyDataKind>(kind)) {
        case CopyDataKind::UpdateCheck:
        case CopyDataKind::AutoPrograms:
            return kSettingsRecordBytes;
        case CopyDataKind::UpdateStarts:
        case CopyDataKind::InstallStarts:
            return kPackageAnnounceBytes;
        case CopyDataKind::AddItem:
        case CopyDataKind::RemoveItem:
            return kPackageRecordBytes;
        case CopyDataKind::HotKey:
            return kHotKeyRecordBytes;
        case CopyDataKind::BackImageOn:
            return kBackImagePathBytes;
        case CopyDataKind::BackImageOff:
            return kBackImageOffBytes;
    }
    return std::nullopt;
}

bool IsCopyDataSizeExact(uint32_t kind, size_t size) {
    std::optional<size_t> exact = CopyDataBytes(kind);
    return exact && *exact == size;
}

std::optional<PackageAnnounce> PackageAnnounce::Read(const void* data, size_t size) {
    if (data == nullptr || size != kSize) {
        return std::nullopt;
    }
    RecordReader reader(data, kSize);
    PackageAnnounce announce;
    announce.packageId = reader.I32(kIdOffset);
    announce.caption = reader.Text(kCaptionOffset, kCaptionUnits);
    announce.programPath = reader.Text(kPathOffset, kPathUnits);
    return announce;
}

void PackageAnnounce::Write(uint8_t (&out)[kSize]) const {
    std::fill(std::begin(out), std::end(out), uint8_t{0});
    RecordWriter writer(out, kSize);
    writer.I32(kIdOffset, packageId);
    writer.Text(kCaptionOffset, kCaptionUnits, caption);
    writer.Text(kPathOffset, kPathUnits, programPath);
}

std::optional<std::u16string> ReadBackImagePath(const void* data, size_t size) {
    if (data == nullptr || size != kBackImagePathBytes) {
        return std::nullopt;
    }
    constexpr size_t units = kBackImagePathBytes / 2;
    RecordReader reader(data, kBackImagePathBytes);
    for (size_t i = 0; i < units; ++i) {
        if (reader.U8(2 * i) == 0 && reader.U8(2 * i + 1) == 0) {
            return reader.Text(0, i + 1);
        }
    }
    return std::nullopt;
}

bool IsLauncherPayloadAcceptable(uint32_t kind, const void* data, size_t size) {
    switch (static_cast<CopyDataKind>(kind)) {
        case CopyDataKind::UpdateStarts:
        case CopyDataKind::InstallStarts:
        case CopyDataKind::AddItem:
        case CopyDataKind::RemoveItem:
            return data != nullptr && IsCopyDataSizeExact(kind, size);
        case CopyDataKind::BackImageOn:
            return ReadBackImagePath(data, size).has_value();
        case CopyDataKind::BackImageOff:
            return IsCopyDataSizeExact(kind, size);
        default:
            return false;
    }
}

}  // namespace common
