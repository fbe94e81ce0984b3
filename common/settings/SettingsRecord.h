// The in-memory image of TolvSet.xml, shared by the agent and the settings program.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/model/FixedText.h"

namespace common {

// One global hot key. The key is a virtual-key code of one byte (a digit or an upper-case letter as the file
// holds it), 0 for no hot key; the byte sits in a 32-bit slot whose other bytes stay zero. The modifiers are 0
// or 1 as written by the settings program, though a load keeps whatever integer the file holds. Note the memory
// order CTRL before SHIFT; the file has SHIFT before CTRL.
struct HotKeyEntry {
    uint8_t key = 0;
    uint8_t reserved[3] = {};
    int32_t alt = 0;
    int32_t ctrl = 0;
    int32_t shift = 0;
    int32_t win = 0;
};

// Layout is fixed and identical in every build (SettingsRecord.cpp pins it) and has no padding, so two records
// with the same values have the same bytes: texts are written through FixedText, which zero-fills behind the text.
// A default-constructed record is the zeroed record every load starts from.
struct SettingsRecord {
    static constexpr size_t kSize = 872;

    FixedText<20> language;
    FixedText<100> skin;
    FixedText<260> backImage;
    int32_t transparent = 0;
    int32_t alwaysOnTop = 0;
    int32_t autoRun = 0;
    int32_t updateCheck = 0;
    int32_t autoLogin = 0;
    int32_t trayIconMode = 0;
    int32_t addBackupBtn = 0;
    int32_t addDocumentBtn = 0;
    HotKeyEntry launcherOpen;
    HotKeyEntry launcherHide;
    HotKeyEntry backup;
    HotKeyEntry search;
};

// Byte-wise equality, sound because the layout has no padding.
bool operator==(const HotKeyEntry& a, const HotKeyEntry& b);
bool operator!=(const HotKeyEntry& a, const HotKeyEntry& b);
bool operator==(const SettingsRecord& a, const SettingsRecord& b);
bool operator!=(const SettingsRecord& a, const SettingsRecord& b);

}  // namespace common
