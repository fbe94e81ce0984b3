// Tests of what the agent does on a saved settings file.
#include "common/agent/SettingsActions.h"

#include <gtest/gtest.h>

#include "common/agent/LauncherButtons.h"
#include "common/ipc/SuiteNames.h"

namespace {

using common::AutorunAction;
using common::ButtonAction;

// Catches: autorun.inf or a button acted on although the value did not change (a second report would write
// or send twice), and the snapshot not taking the new value.
TEST(SettingsActions, ActsOnceOnEachChangedValue) {
    common::SettingsRecord snapshot;
    common::SettingsRecord fresh;
    fresh.autoRun = 1;
    fresh.addBackupBtn = 1;
    fresh.alwaysOnTop = 1;
    auto first = common::PlanSettingsActions(snapshot, fresh, true);
    EXPECT_EQ(first.autorun, AutorunAction::Write);
    EXPECT_EQ(first.backupButton, ButtonAction::Add);
    EXPECT_EQ(first.documentsButton, ButtonAction::None);
    EXPECT_TRUE(first.isTopMostChanged);
    EXPECT_TRUE(first.isTopMost);

    auto second = common::PlanSettingsActions(snapshot, fresh, true);
    EXPECT_EQ(second.autorun, AutorunAction::None);
    EXPECT_EQ(second.backupButton, ButtonAction::None);
    EXPECT_FALSE(second.isTopMostChanged);
    EXPECT_TRUE(second.rebindHotKeys) << "hotkeys are rebound on every report";

    fresh.autoRun = 0;
    fresh.addBackupBtn = 0;
    fresh.alwaysOnTop = 0;
    auto third = common::PlanSettingsActions(snapshot, fresh, true);
    EXPECT_EQ(third.autorun, AutorunAction::Delete);
    EXPECT_EQ(third.backupButton, ButtonAction::Remove);
    EXPECT_TRUE(third.isTopMostChanged);
    EXPECT_FALSE(third.isTopMost);
}

// Catches: a settings file that could not be read wiping autorun.inf, the buttons and the hotkeys because its
// unread fields came back as zeros.
TEST(SettingsActions, AnUnreadableFileAppliesNothing) {
    common::SettingsRecord snapshot;
    snapshot.autoRun = 1;
    snapshot.addDocumentBtn = 1;
    snapshot.launcherOpen.key = 'O';
    common::SettingsRecord before = snapshot;
    auto actions = common::PlanSettingsActions(snapshot, common::SettingsRecord{}, false);
    EXPECT_EQ(actions.autorun, AutorunAction::None);
    EXPECT_EQ(actions.documentsButton, ButtonAction::None);
    EXPECT_FALSE(actions.rebindHotKeys);
    EXPECT_TRUE(snapshot == before);
}

// Catches: hotkeys, tray mode or auto-login not taken over, or the skin/language copied into the agent.
TEST(SettingsActions, TakesOverHotKeysAndStoredValuesOnly) {
    common::SettingsRecord snapshot;
    common::SettingsRecord fresh;
    fresh.launcherHide.key = 'H';
    fresh.launcherHide.alt = 1;
    fresh.trayIconMode = 1;
    fresh.autoLogin = 1;
    fresh.skin.Set(u"다른 스킨");
    common::PlanSettingsActions(snapshot, fresh, true);
    EXPECT_TRUE(snapshot.launcherHide == fresh.launcherHide);
    EXPECT_EQ(snapshot.trayIconMode, 1);
    EXPECT_EQ(snapshot.autoLogin, 1);
    EXPECT_TRUE(snapshot.skin.IsEmpty());
}

// Catches: an add record missing what the launcher runs (path, parameters for the backup view), or a remove
// record carrying fields the launcher does not match on.
TEST(LauncherButtons, RecordsCarryWhatTheLauncherNeeds) {
    auto backup = common::BackupButtonRecord(true, u"T:\\Kelvo");
    EXPECT_EQ(backup.pkgType, 3);
    EXPECT_EQ(backup.type, 15);
    EXPECT_EQ(backup.path.Get(), u"T:\\Kelvo\\TolvSet.exe");
    EXPECT_EQ(backup.param.Get(), u"-1 -2");
    EXPECT_EQ(backup.icon.Get(), common::kSettingsProgram);
    auto documents = common::DocumentsButtonRecord(true, common::DocumentsFolder(u"T:\\Kelvo"));
    EXPECT_EQ(documents.type, 1);
    EXPECT_EQ(documents.path.Get(), u"T:\\Documents");
    auto removal = common::DocumentsButtonRecord(false, u"T:\\Documents");
    EXPECT_EQ(removal.pkgType, 0);
    EXPECT_EQ(removal.pkgId, 0);
    EXPECT_EQ(removal.caption.Get(), u"Documents");
    EXPECT_TRUE(removal.path.IsEmpty());
}

}  // namespace
