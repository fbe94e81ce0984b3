// What the agent does when the settings program reports a saved TolvSet.xml: decided here, carried out by the agent.
#pragma once

#include "common/settings/SettingsRecord.h"

namespace common {

enum class AutorunAction { None, Write, Delete };
enum class ButtonAction { None, Add, Remove };

struct SettingsActions {
    bool isTopMostChanged = false;  // place the launcher after HWND_TOPMOST or HWND_NOTOPMOST
    bool isTopMost = false;
    AutorunAction autorun = AutorunAction::None;
    ButtonAction backupButton = ButtonAction::None;
    ButtonAction documentsButton = ButtonAction::None;
    bool rebindHotKeys = false;  // unregister and register again all four built-in hotkeys
};

// How it works: each setting the agent acts on is acted on once, when its new value differs from the one in
// `snapshot`; the snapshot then takes the new value, so a second report of the same value does nothing. Update
// check, auto-login and tray icon mode are only stored. The four hotkeys are copied and rebound every time.
// Language, skin, background image and transparency are not taken over.
//
// A file that was not accepted (unreadable, or rejected by the reading rule) applies nothing and leaves the
// snapshot as it is: its unread fields would read as zeros and remove autorun.inf, the buttons and the hotkeys.
SettingsActions PlanSettingsActions(SettingsRecord& snapshot, const SettingsRecord& fresh, bool isAccepted);

}  // namespace common
