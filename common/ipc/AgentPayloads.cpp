// Writers and readers of the records the agent accepts.
#include "common/ipc/AgentPayloads.h"

#include "common/ipc/RecordBytes.h"
#include "common/ipc/SuiteNames.h"

namespace common {

namespace {

// Both two-path records share one shape: two 260-unit fields, back to back.
constexpr size_t kPathFieldUnits = 260;
constexpr size_t kPathFieldBytes = kPathFieldUnits * sizeof(char16_t);
static_assert(UpdateCheckPayload::kFieldUnits == kPathFieldUnits &&
              AutoProgramsPayload::kFieldUnits == kPathFieldUnits);
static_assert(UpdateCheckPayload::kProfilePathOffset == 0 && UpdateCheckPayload::kFolderNameOffset == 520);
static_assert(UpdateCheckPayload::kSize == kSettingsRecordBytes);
static_assert(AutoProgramsPayload::kStartPathOffset == 0 && AutoProgramsPayload::kClosePathOffset == 520);
static_assert(AutoProgramsPayload::kSize == kSettingsRecordBytes);
static_assert(kSettingsRecordBytes >= 2 * kPathFieldBytes);
static_assert(HotKeyPayload::kAltOffset == HotKeyPayload::kKeyOffset + 4 &&
              HotKeyPayload::kShiftOffset == HotKeyPayload::kAltOffset + 4 &&
              HotKeyPayload::kCtrlOffset == HotKeyPayload::kShiftOffset + 4 &&
              HotKeyPayload::kWinOffset == HotKeyPayload::kCtrlOffset + 4 &&
              HotKeyPayload::kIdOffset == HotKeyPayload::kWinOffset + 4);
static_assert(HotKeyPayload::kSize == HotKeyPayload::kIdOffset + 4);

struct TwoPaths {
    std::u16string first;
    std::u16string second;
};

std::optional<TwoPaths> ReadTwoPaths(const void* data, size_t size) {
    if (data == nullptr || size != kSettingsRecordBytes) {
        return std::nullopt;
    }
    RecordReader reader(data, 2 * kPathFieldBytes);
    return TwoPaths{reader.Text(0, kPathFieldUnits - 1), reader.Text(kPathFieldBytes, kPathFieldUnits - 1)};
}

std::vector<uint8_t> WriteTwoPaths(const std::u16string& first, const std::u16string& second) {
    std::vector<uint8_t> bytes(kSettingsRecordBytes, 0);
    RecordWriter writer(bytes.data(), bytes.size());
    writer.Text(0, kPathFieldUnits, first);
    writer.Text(kPathFieldBytes, kPathFieldUnits, second);
    return bytes;
}

}  // namespace

UpdateCheckPayload UpdateCheckPayload::ForPackage(std::u16string_view channel, std::u16string_view folder) {
    return UpdateCheckPayload{u"/" + std::u16string(channel) + u"/" + std::u16string(folder) + u"/" + kProfileFile,
                              std::u16string(folder)};
}

std::optional<UpdateCheckPayload> UpdateCheckPayload::Read(const void* data, size_t size) {
    std::optional<TwoPaths> paths = ReadTwoPaths(data, size);
    if (!paths) {
        return std::nullopt;
    }
    return UpdateCheckPayload{std::move(paths->first), std::move(paths->second)};
}

std::vector<uint8_t> UpdateCheckPayload::Write() const {
    return WriteTwoPaths(profilePath, folderName);
}

AutoProgramsPayload AutoProgramsPayload::ForPackage(std::u16string_view path, bool startOpen, bool startClose) {
    return AutoProgramsPayload{startOpen ? std::u16string(path) : std::u16string(),
                               startClose ? std::u16string(path) : std::u16string()};
}

std::optional<AutoProgramsPayload> AutoProgramsPayload::Read(const void* data, size_t size) {
    std::optional<TwoPaths> paths = ReadTwoPaths(data, size);
    if (!paths) {
        return std::nullopt;
    }
    return AutoProgramsPayload{std::move(paths->first), std::move(paths->second)};
}

std::vector<uint8_t> AutoProgramsPayload::Write() const {
    return WriteTwoPaths(startPath, closePath);
}

std::optional<HotKeyPayload> HotKeyPayload::Read(const void* data, size_t size) {
    if (data == nullptr || size != kSize) {
        return std::nullopt;
    }
    RecordReader reader(data, kSize);
    HotKeyPayload payload;
    payload.key = static_cast<uint8_t>(reader.I32(kKeyOffset) & 0xFF);
    payload.alt = reader.I32(kAltOffset) != 0;
    payload.shift = reader.I32(kShiftOffset) != 0;
    payload.ctrl = reader.I32(kCtrlOffset) != 0;
    payload.win = reader.I32(kWinOffset) != 0;
    payload.id = reader.I32(kIdOffset);
    return payload;
}

std::vector<uint8_t> HotKeyPayload::Write() const {
    std::vector<uint8_t> bytes(kSize, 0);
    RecordWriter writer(bytes.data(), bytes.size());
    writer.I32(kKeyOffset, key);
    writer.I32(kAltOffset, alt ? 1 : 0);
    writer.I32(kShiftOffset, shift ? 1 : 0);
    writer.I32(kCtrlOffset, ctrl ? 1 : 0);
    writer.I32(kWinOffset, win ? 1 : 0);
    writer.I32(kIdOffset, id);
    return bytes;
}

}  // namespace common
