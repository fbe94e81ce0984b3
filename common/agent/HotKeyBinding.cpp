// Hotkey values of the agent: modifier mapping, built-in entries and the kind-6 record.
#include "common/agent/HotKeyBinding.h"

#include <cstring>

namespace common {

namespace {
HotKeyBinding FromEntry(int32_t id, const HotKeyEntry& entry) {
    return HotKeyBinding{id, entry.key, HotKeyModifiers(entry.alt, entry.ctrl, entry.shift, entry.win)};
}

int32_t ReadInt32(const uint8_t* bytes) {
    uint32_t value = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                     (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    int32_t result;
    std::memcpy(&result, &value, sizeof(result));
    return result;
}
}  // namespace

uint32_t HotKeyModifiers(int32_t alt, int32_t ctrl, int32_t shift, int32_t win) {
    return (alt != 0 ? kModAlt : 0) | (ctrl != 0 ? kModControl : 0) | (shift != 0 ? kModShift : 0) |
           (win != 0 ? kModWin : 0);
}

uint8_t HotKeyFromText(std::u16string_view text) {
    return text.empty() ? 0 : static_cast<uint8_t>(text.front() & 0xFF);
}

std::array<HotKeyBinding, 4> BuiltInHotKeys(const SettingsRecord& settings) {
    return {FromEntry(kHotKeyLauncherOpen, settings.launcherOpen),
            FromEntry(kHotKeyLauncherHide, settings.launcherHide), FromEntry(kHotKeyBackup, settings.backup),
            FromEntry(kHotKeySearch, settings.search)};
}

std::optional<HotKeyBinding> ReadHotKeyPayload(const void* data, size_t size) {
    if (data == nullptr || size < kHotKeyRecordBytes) {
        return std::nullopt;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    int32_t key = ReadInt32(bytes);
    int32_t alt = ReadInt32(bytes + 4);
    int32_t shift = ReadInt32(bytes + 8);
    int32_t ctrl = ReadInt32(bytes + 12);
    int32_t win = ReadInt32(bytes + 16);
    int32_t id = ReadInt32(bytes + 20);
    return HotKeyBinding{id, static_cast<uint8_t>(key & 0xFF), HotKeyModifiers(alt, ctrl, shift, win)};
}

}  // namespace common
