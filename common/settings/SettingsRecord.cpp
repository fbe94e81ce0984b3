// SettingsRecord's layout checks and its comparison.
#include "common/settings/SettingsRecord.h"

#include <cstring>
#include <type_traits>

namespace common {

static_assert(std::is_standard_layout_v<HotKeyEntry>);
static_assert(std::is_trivially_copyable_v<HotKeyEntry>);
static_assert(std::has_unique_object_representations_v<HotKeyEntry>);
static_assert(sizeof(HotKeyEntry) == 20);
static_assert(offsetof(HotKeyEntry, key) == 0);
static_assert(offsetof(HotKeyEntry, alt) == 4);
static_assert(offsetof(HotKeyEntry, ctrl) == 8);
static_assert(offsetof(HotKeyEntry, shift) == 12);
static_assert(offsetof(HotKeyEntry, win) == 16);

static_assert(std::is_standard_layout_v<SettingsRecord>);
static_assert(std::is_trivially_copyable_v<SettingsRecord>);
static_assert(std::has_unique_object_representations_v<SettingsRecord>);
static_assert(sizeof(SettingsRecord) == SettingsRecord::kSize);
static_assert(offsetof(SettingsRecord, language) == 0);
static_assert(offsetof(SettingsRecord, skin) == 40);
static_assert(offsetof(SettingsRecord, backImage) == 240);
static_assert(offsetof(SettingsRecord, transparent) == 760);
static_assert(offsetof(SettingsRecord, alwaysOnTop) == 764);
static_assert(offsetof(SettingsRecord, autoRun) == 768);
static_assert(offsetof(SettingsRecord, updateCheck) == 772);
static_assert(offsetof(SettingsRecord, autoLogin) == 776);
static_assert(offsetof(SettingsRecord, trayIconMode) == 780);
static_assert(offsetof(SettingsRecord, addBackupBtn) == 784);
static_assert(offsetof(SettingsRecord, addDocumentBtn) == 788);
static_assert(offsetof(SettingsRecord, launcherOpen) == 792);
static_assert(offsetof(SettingsRecord, launcherHide) == 812);
static_assert(offsetof(SettingsRecord, backup) == 832);
static_assert(offsetof(SettingsRecord, search) == 852);

bool operator==(const HotKeyEntry& a, const HotKeyEntry& b) {
    return std::memcmp(&a, &b, sizeof(HotKeyEntry)) == 0;
}

bool operator!=(const HotKeyEntry& a, const HotKeyEntry& b) {
    return !(a == b);
}

bool operator==(const SettingsRecord& a, const SettingsRecord& b) {
    return std::memcmp(&a, &b, sizeof(SettingsRecord)) == 0;
}

bool operator!=(const SettingsRecord& a, const SettingsRecord& b) {
    return !(a == b);
}

}  // namespace common
