// Fuzz target: arbitrary WM_COPYDATA payloads of every kind through the readers of the launcher and the agent.
// The first byte picks the kind (0 to 8, anything else an unknown kind); the rest is the payload, at the length
// libFuzzer gives it, so a reader that looks one byte past a payload is caught by the address sanitizer.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/agent/HotKeyBinding.h"
#include "common/ipc/AgentPayloads.h"
#include "common/ipc/CopyData.h"
#include "common/model/PackageRecord.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

bool HasNul(const std::u16string& text) {
    return text.find(u'\0') != std::u16string::npos;
}

bool SameRecord(const common::PackageRecord& a, const common::PackageRecord& b) {
    return a.pkgType == b.pkgType && a.pkgId == b.pkgId && a.type == b.type && a.caption.Get() == b.caption.Get() &&
           a.path.Get() == b.path.Get() && a.param.Get() == b.param.Get() && a.icon.Get() == b.icon.Get() &&
           a.updateFlag == b.updateFlag && a.deleted == b.deleted && a.startOpen == b.startOpen &&
           a.startClose == b.startClose && a.shortcut == b.shortcut && a.alt == b.alt && a.shift == b.shift &&
           a.ctrl == b.ctrl && a.win == b.win;
}

// Every reader, whatever the kind: each takes the payload only at its own exact size.
void ReadAsEveryKind(const uint8_t* payload, size_t size) {
    auto update = common::UpdateCheckPayload::Read(payload, size);
    Check(update.has_value() == (size == common::kSettingsRecordBytes));
    if (update) {
        Check(update->profilePath.size() < common::UpdateCheckPayload::kFieldUnits && !HasNul(update->profilePath));
        Check(update->folderName.size() < common::UpdateCheckPayload::kFieldUnits && !HasNul(update->folderName));
        // What was read writes back to a record that reads the same.
        std::vector<uint8_t> bytes = update->Write();
        Check(bytes.size() == common::kSettingsRecordBytes);
        auto again = common::UpdateCheckPayload::Read(bytes.data(), bytes.size());
        Check(again && again->profilePath == update->profilePath && again->folderName == update->folderName);
    }

    auto programs = common::AutoProgramsPayload::Read(payload, size);
    Check(programs.has_value() == (size == common::kSettingsRecordBytes));
    if (programs) {
        Check(programs->startPath.size() < common::AutoProgramsPayload::kFieldUnits && !HasNul(programs->startPath));
        Check(programs->closePath.size() < common::AutoProgramsPayload::kFieldUnits && !HasNul(programs->closePath));
        std::vector<uint8_t> bytes = programs->Write();
        auto again = common::AutoProgramsPayload::Read(bytes.data(), bytes.size());
        Check(again && again->startPath == programs->startPath && again->closePath == programs->closePath);
    }

    auto announce = common::PackageAnnounce::Read(payload, size);
    Check(announce.has_value() == (size == common::kPackageAnnounceBytes));
    if (announce) {
        Check(announce->caption.size() <= common::PackageAnnounce::kCaptionUnits && !HasNul(announce->caption));
        Check(announce->programPath.size() <= common::PackageAnnounce::kPathUnits && !HasNul(announce->programPath));
    }

    auto record = common::PackageRecord::FromBytes(payload, size);
    Check(record.has_value() == (size == common::kPackageRecordBytes));
    if (record) {
        uint8_t bytes[common::PackageRecord::kSize];
        record->ToBytes(bytes);
        auto again = common::PackageRecord::FromBytes(bytes, sizeof(bytes));
        Check(again && SameRecord(*again, *record));
    }

    auto hotKey = common::HotKeyPayload::Read(payload, size);
    Check(hotKey.has_value() == (size == common::kHotKeyRecordBytes));
    Check(common::ReadHotKeyPayload(payload, size).has_value() == hotKey.has_value());
    if (hotKey) {
        std::vector<uint8_t> bytes = hotKey->Write();
        auto again = common::HotKeyPayload::Read(bytes.data(), bytes.size());
        Check(again && again->key == hotKey->key && again->alt == hotKey->alt && again->shift == hotKey->shift &&
              again->ctrl == hotKey->ctrl && again->win == hotKey->win && again->id == hotKey->id);
    }

    auto backImage = common::ReadBackImagePath(payload, size);
    Check(!backImage || size == common::kBackImagePathBytes);
    if (backImage) {
        Check(backImage->size() < common::kBackImagePathBytes / 2 && !HasNul(*backImage));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint32_t kind = data[0] <= 8 ? data[0] : 9 + data[0];
    // A copy of exactly the payload's length, so a read past its end lands outside the allocation.
    std::vector<uint8_t> copy(data + 1, data + size);
    const uint8_t* payload = copy.empty() ? nullptr : copy.data();
    const size_t payloadSize = copy.size();

    ReadAsEveryKind(payload, payloadSize);

    // The launcher's gate: only its own kinds, each only at its exact size.
    bool accepted = common::IsLauncherPayloadAcceptable(kind, payload, payloadSize);
    std::optional<size_t> exact = common::CopyDataBytes(kind);
    bool isLauncherKind = kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 7 || kind == 8;
    Check(!accepted || (isLauncherKind && exact && *exact == payloadSize));
    if (isLauncherKind && kind != 7) {
        Check(accepted == (exact && *exact == payloadSize && (payloadSize == 0 || payload != nullptr)));
    }
    if (kind == 7) {
        Check(accepted == common::ReadBackImagePath(payload, payloadSize).has_value());
    }
    Check(common::IsCopyDataSizeExact(kind, payloadSize) == (exact && *exact == payloadSize));
    return 0;
}
