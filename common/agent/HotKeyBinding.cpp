// Hotkey values of the agent: modifier mapping, built-in entries and the kind-6 record.
#include "common/agent/HotKeyBinding.h"

#include "common/ipc/AgentPayloads.h"

namespace common {

namespace {
HotKeyBinding FromEntry(int32_t id, const HotKeyEntry& entry) {
    return HotKeyBinding{id, entry.key, HotKeyModifiers(entry.alt, entry.ctrl, entry.shift, entry.win)};
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
    std::optional<HotKeyPayload> payload = HotKeyPayload::Read(data, size);
    if (!payload) {
        return std::nullopt;
    }
    return HotKeyBinding{payload->id, payload->key,
                         HotKeyModifiers(payload->alt, payload->ctrl, payload->shift, payload->win)};
}

}  // namespace common
