// The numbers and names every program of the suite, old or new, relies on: a change to any of them breaks talking
// to a peer built from another version, so each is pinned here to its value, not to the constant.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/agent/HotKeyBinding.h"
#include "common/ipc/AgentPayloads.h"
#include "common/ipc/CopyData.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/model/PackageRecord.h"

namespace {

struct Pinned {
    const char* name;
    uint32_t value;
    uint32_t expected;
};

template <size_t N>
void ExpectPinned(const Pinned (&table)[N]) {
    for (const Pinned& entry : table) {
        EXPECT_EQ(entry.value, entry.expected) << entry.name;
    }
}

TEST(WireNumbers, MessagesBetweenTheProgramsKeepTheirNumbers) {
    const Pinned messages[] = {
        {"open store", common::kMsgOpenStore, 2024},
        {"job progress", common::kMsgJobProgress, 2025},
        {"job finished", common::kMsgJobFinished, 2026},
        {"settings saved", common::kMsgSettingsSaved, 2027},
        {"show backup view", common::kMsgShowBackupView, 2028},
        {"show help view", common::kMsgShowHelpView, 2029},
        {"check for update", common::kMsgCheckForUpdate, 2030},
        {"environment changed", common::kMsgEnvChanged, 2031},
        {"shut down", common::kMsgShutDown, 2032},
        {"run package", common::kMsgRunPackage, 2034},
        {"package removed", common::kEnvPackageRemoved, 1},
        {"re-check programs", common::kEnvRecheckPrograms, 2},
        {"file edited", common::kEnvFileEdited, 3},
    };
    ExpectPinned(messages);
}

TEST(WireNumbers, FixedNumbersWithinEachProgramStay) {
    const Pinned messages[] = {
        {"tray notify", common::kMsgTrayNotify, 1025},
        {"browser update queued", common::kMsgBrowserUpdateQueued, 1026},
        {"browser install queued", common::kMsgBrowserInstallQueued, 1027},
        {"browser closed", common::kMsgBrowserClosed, 1028},
        {"go to page", common::kMsgGoToPage, 1124},
        {"button notice", common::kMsgButtonNotice, 0x8001},
        {"remove empty page", common::kMsgRemoveEmptyPage, 0x8002},
        {"updater step done", common::kMsgUpdaterStepDone, 1025},
        {"updater percent", common::kMsgUpdaterPercent, 1026},
        {"package button", common::kIdPackageButton, 110},
        {"home button", common::kIdHomeButton, 111},
        {"exit button", common::kIdExitButton, 112},
    };
    ExpectPinned(messages);
}

TEST(WireNumbers, EachProgramsOwnMessagesAreDistinct) {
    const uint32_t agent[] = {common::kMsgTrayNotify,
                              common::kMsgBrowserUpdateQueued,
                              common::kMsgBrowserInstallQueued,
                              common::kMsgBrowserClosed,
                              common::kMsgCheckForUpdate,
                              common::kMsgWorkerShowLauncher,
                              common::kMsgWebViewGetState,
                              common::kMsgOpenStore,
                              common::kMsgSettingsSaved,
                              common::kMsgEnvChanged,
                              common::kMsgShutDown};
    const uint32_t launcher[] = {common::kMsgGoToPage,    common::kMsgButtonNotice, common::kMsgRemoveEmptyPage,
                                 common::kMsgJobProgress, common::kMsgJobFinished,  common::kMsgEnvChanged,
                                 common::kMsgRunPackage};
    const uint32_t updater[] = {common::kMsgUpdaterStepDone, common::kMsgUpdaterPercent, common::kMsgUpdaterWorkerDone};
    auto expectDistinct = [](const uint32_t* numbers, size_t count, const char* program) {
        for (size_t i = 0; i < count; ++i) {
            for (size_t j = i + 1; j < count; ++j) {
                EXPECT_NE(numbers[i], numbers[j]) << program << " messages " << i << " and " << j;
            }
        }
    };
    expectDistinct(agent, std::size(agent), "agent");
    expectDistinct(launcher, std::size(launcher), "launcher");
    expectDistinct(updater, std::size(updater), "updater");
}

TEST(WireNumbers, PayloadKindsAndSizesKeepTheirValues) {
    const Pinned kinds[] = {
        {"update check", static_cast<uint32_t>(common::CopyDataKind::UpdateCheck), 0},
        {"auto programs", static_cast<uint32_t>(common::CopyDataKind::AutoPrograms), 1},
        {"update starts", static_cast<uint32_t>(common::CopyDataKind::UpdateStarts), 2},
        {"install starts", static_cast<uint32_t>(common::CopyDataKind::InstallStarts), 3},
        {"add item", static_cast<uint32_t>(common::CopyDataKind::AddItem), 4},
        {"remove item", static_cast<uint32_t>(common::CopyDataKind::RemoveItem), 5},
        {"hot key", static_cast<uint32_t>(common::CopyDataKind::HotKey), 6},
        {"back image on", static_cast<uint32_t>(common::CopyDataKind::BackImageOn), 7},
        {"back image off", static_cast<uint32_t>(common::CopyDataKind::BackImageOff), 8},
        {"announce bytes", static_cast<uint32_t>(common::PackageAnnounce::kSize), 624},
        {"record bytes", static_cast<uint32_t>(common::PackageRecord::kSize), 3644},
        {"record in memory", static_cast<uint32_t>(sizeof(common::PackageRecord)), 3644},
        {"settings record bytes", static_cast<uint32_t>(common::kSettingsRecordBytes), 1564},
        {"update check bytes", static_cast<uint32_t>(common::UpdateCheckPayload::kSize), 1564},
        {"auto programs bytes", static_cast<uint32_t>(common::AutoProgramsPayload::kSize), 1564},
        {"hot key bytes", static_cast<uint32_t>(common::kHotKeyRecordBytes), 24},
        {"back image path bytes", static_cast<uint32_t>(common::kBackImagePathBytes), 520},
    };
    ExpectPinned(kinds);
}

TEST(WireNumbers, NamesThePeersLookForStay) {
    const struct {
        const char16_t* value;
        const char16_t* expected;
    } names[] = {
        {common::kLauncherClass, u"TolvApp"},
        {common::kLauncherTitle, u"TolvApp"},
        {common::kAgentClass, u"Marlo"},
        {common::kSettingsClass, u"TolvSetApp"},
        {common::kLauncherProgram, u"Tolv.exe"},
        {common::kAgentProgram, u"Marlo.exe"},
        {common::kSettingsProgram, u"TolvSet.exe"},
        {common::kUpdaterProgram, u"KelvoUp.exe"},
        {common::kStagedUpdaterProgram, u"KelvoUp.ex_"},
        {common::kStarterProgram, u"Start.exe"},
        {common::kEnvironmentFile, u"TolvEnv.xml"},
        {common::kSettingsFile, u"TolvSet.xml"},
        {common::kCredentialsFile, u"TolvIni.dat"},
        {common::kProfileFile, u"Profile.xml"},
        {common::kPackagesFolder, u"Portable Programs"},
        {common::kSuiteFolder, u"Kelvo"},
        {common::kStoreFtpUser, u"mvtrloze"},
        {common::kStoreFtpPassword, u"mvtrloze$%^"},
    };
    for (const auto& name : names) {
        EXPECT_EQ(std::u16string(name.value), std::u16string(name.expected));
    }
}

}  // namespace
