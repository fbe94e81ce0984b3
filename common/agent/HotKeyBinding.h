// The agent's global hotkeys as plain values: IDs, key, mapped modifiers, and the kind-6 payload that sets one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "common/settings/SettingsRecord.h"

namespace common {

// Built-in hotkey IDs; package hotkeys use the package's PKGID in the same ID space.
inline constexpr int32_t kHotKeyLauncherOpen = -16;
inline constexpr int32_t kHotKeyLauncherHide = -15;
inline constexpr int32_t kHotKeyBackup = -14;
inline constexpr int32_t kHotKeySearch = -13;

// The values of MOD_ALT, MOD_CONTROL, MOD_SHIFT and MOD_WIN.
inline constexpr uint32_t kModAlt = 1;
inline constexpr uint32_t kModControl = 2;
inline constexpr uint32_t kModShift = 4;
inline constexpr uint32_t kModWin = 8;

// One hotkey to (re)bind: the ID is always unregistered first, and registered again only when key is nonzero.
struct HotKeyBinding {
    int32_t id = 0;
    uint8_t key = 0;  // virtual-key code, 0 for none
    uint32_t modifiers = 0;
};

// Any nonzero flag counts as set, whatever integer the file or message held.
uint32_t HotKeyModifiers(int32_t alt, int32_t ctrl, int32_t shift, int32_t win);

// The key of a SHORTCUT or HOTCHAR text: the low 8 bits of its first unit, 0 for an empty text.
uint8_t HotKeyFromText(std::u16string_view text);

// The four built-in hotkeys of a settings snapshot, in registration order (LauncherOpen, LauncherHide, Backup,
// Search).
std::array<HotKeyBinding, 4> BuiltInHotKeys(const SettingsRecord& settings);

// The binding a WM_COPYDATA kind-6 record asks for (HotKeyPayload); nullopt when the record is short.
std::optional<HotKeyBinding> ReadHotKeyPayload(const void* data, size_t size);

}  // namespace common
