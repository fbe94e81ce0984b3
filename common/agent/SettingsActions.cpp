// Decisions of the agent's settings-changed handling.
#include "common/agent/SettingsActions.h"

namespace common {

namespace {
ButtonAction ButtonFor(int32_t& stored, int32_t fresh) {
    if (stored == fresh) {
        return ButtonAction::None;
    }
    stored = fresh;
    return fresh != 0 ? ButtonAction::Add : ButtonAction::Remove;
}
}  // namespace

SettingsActions PlanSettingsActions(SettingsRecord& snapshot, const SettingsRecord& fresh, bool isAccepted) {
    SettingsActions actions;
    if (!isAccepted) {
        return actions;
    }
    if (snapshot.alwaysOnTop != fresh.alwaysOnTop) {
        actions.isTopMostChanged = true;
        actions.isTopMost = fresh.alwaysOnTop != 0;
        snapshot.alwaysOnTop = fresh.alwaysOnTop;
    }
    if (snapshot.autoRun != fresh.autoRun) {
        actions.autorun = fresh.autoRun != 0 ? AutorunAction::Write : AutorunAction::Delete;
        snapshot.autoRun = fresh.autoRun;
    }
    snapshot.updateCheck = fresh.updateCheck;
    snapshot.autoLogin = fresh.autoLogin;
    snapshot.trayIconMode = fresh.trayIconMode;
    actions.backupButton = ButtonFor(snapshot.addBackupBtn, fresh.addBackupBtn);
    actions.documentsButton = ButtonFor(snapshot.addDocumentBtn, fresh.addDocumentBtn);
    snapshot.launcherOpen = fresh.launcherOpen;
    snapshot.launcherHide = fresh.launcherHide;
    snapshot.backup = fresh.backup;
    snapshot.search = fresh.search;
    actions.rebindHotKeys = true;
    return actions;
}

}  // namespace common
