// The launcher's item commands: how entries run, which menu an item gets, registration and removal checks.
#include "common/launcher/ItemCommands.h"

#include <gtest/gtest.h>

#include <map>

#include "common/ipc/SuiteNames.h"
#include "common/model/PageGrid.h"
#include "tests/common/model/FakeFileProbe.h"

namespace {

using common::IFileProbe;
using common::PackageRecord;
using common::RunRequest;

const std::u16string kFolder = u"K:\\Kelvo";

using FakeProbe = kelvo_test::FakeFileProbe;

PackageRecord Record(int32_t pkgType, int32_t type, const std::u16string& path, const std::u16string& param = u"",
                     int32_t updateFlag = 0) {
    PackageRecord record;
    record.pkgType = pkgType;
    record.type = type;
    record.path.Set(path);
    record.param.Set(param);
    record.updateFlag = updateFlag;
    return record;
}

// Catches: a store package or menu entry run from the drive letter it was stored with, a user command's path
// rewritten (it may point at another drive on purpose), the settings button taking its PARAM instead of "-0",
// given parameters not replacing PARAM, and an item being installed running at all.
TEST(ItemCommands, PlansHowEachKindOfEntryRuns) {
    RunRequest store = common::PlanRun(Record(1, 0, u"E:\\Portable Programs\\a\\a.exe", u"/p"), std::nullopt, kFolder);
    EXPECT_EQ(store.action, RunRequest::Action::Shell);
    EXPECT_EQ(store.verb, u"open");
    EXPECT_EQ(store.file, u"K:\\Portable Programs\\a\\a.exe");
    EXPECT_EQ(store.params, u"/p");
    EXPECT_EQ(store.workingFolder, u"");

    RunRequest typed = common::PlanRun(Record(4, 0, u"C:\\tools\\t.exe"), std::u16string(u"-x"), kFolder);
    EXPECT_EQ(typed.file, u"C:\\tools\\t.exe");
    EXPECT_EQ(typed.params, u"-x");

    RunRequest settings = common::PlanRun(Record(0, 10, common::kSettingsProgram, u"-4"), std::nullopt, kFolder);
    EXPECT_EQ(settings.verb, u"open");
    EXPECT_EQ(settings.params, u"-0");
    EXPECT_EQ(settings.workingFolder, kFolder);
    RunRequest edit = common::PlanRun(Record(0, 10, common::kSettingsProgram), common::EditParams(42), kFolder);
    EXPECT_EQ(edit.params, u"-2 -1 -42");

    RunRequest drive = common::PlanRun(Record(0, 13, u"c:\\"), std::nullopt, kFolder);
    EXPECT_EQ(drive.file, u"K:\\");
    EXPECT_EQ(drive.verb, u"open");
    EXPECT_EQ(common::PlanRun(Record(0, 11, u""), std::nullopt, kFolder).action, RunRequest::Action::Search);
    EXPECT_EQ(common::PlanRun(Record(0, 11, u""), std::nullopt, kFolder).file, u"K:\\");
    EXPECT_EQ(common::PlanRun(Record(0, 12, u"explorer.exe"), std::nullopt, kFolder).action,
              RunRequest::Action::OpenStore);
    RunRequest other = common::PlanRun(Record(3, 15, u"K:\\Kelvo\\TolvSet.exe", u"-1 -2"), std::nullopt, kFolder);
    EXPECT_EQ(other.verb, u"") << "any other TYPE takes the file's default verb";
    EXPECT_EQ(other.file, u"K:\\Kelvo\\TolvSet.exe") << "a built-in button keeps its path as stored";

    EXPECT_EQ(common::PlanRun(Record(1, 0, u"K:\\a.exe", u"", 2), std::nullopt, kFolder).action,
              RunRequest::Action::None);
}

// Catches: failures shown for results that are not errors, a missing code in the text, and the line break lost.
TEST(ItemCommands, ReportsOnlyTheListedShellFailures) {
    EXPECT_EQ(common::RunFailureMessage(0), u"메모리가 부족하여 실행 할 수 없습니다.");
    EXPECT_EQ(common::RunFailureMessage(2), u"해당 명령을 실행 할 수 없습니다.\nError Code : (2)");
    for (intptr_t reported : {3, 5, 8, 11, 26, 31, 32}) {
        EXPECT_TRUE(common::RunFailureMessage(reported)) << reported;
    }
    for (intptr_t silent : {1, 4, 12, 25, 33, 42}) {
        EXPECT_FALSE(common::RunFailureMessage(silent)) << silent;
    }
}

// Catches: a menu on an item being installed or on a built-in button, and the update entry offered without an
// update.
TEST(ItemCommands, ChoosesTheContextMenuByState) {
    EXPECT_EQ(common::MenuForItem(Record(1, 0, u"", u"", 1)), common::ItemMenu::Update);
    EXPECT_EQ(common::MenuForItem(Record(1, 0, u"", u"", 0)), common::ItemMenu::Plain);
    EXPECT_EQ(common::MenuForItem(Record(4, 0, u"", u"", 3)), common::ItemMenu::Plain);
    EXPECT_EQ(common::MenuForItem(Record(1, 0, u"", u"", 2)), common::ItemMenu::None);
    EXPECT_EQ(common::MenuForItem(Record(3, 15, u"", u"", 0)), common::ItemMenu::None);
    EXPECT_TRUE(common::IsUserCommand(Record(2, 0, u"")));
    EXPECT_TRUE(common::IsUserCommand(Record(4, 0, u"")));
    EXPECT_FALSE(common::IsUserCommand(Record(1, 0, u"")));
}

// Catches: a drop from another drive accepted (lower-case letters included), shortcuts and documents accepted,
// a missing path accepted, and a typed command held to the launcher's drive.
TEST(ItemCommands, RegistersOnlyProgramsAndFoldersAndDropsFromTheSameDrive) {
    FakeProbe probe;
    probe.kinds[u"k:\\apps\\app.EXE"] = IFileProbe::Kind::File;
    probe.kinds[u"K:\\apps\\app.lnk"] = IFileProbe::Kind::File;
    probe.kinds[u"K:\\docs"] = IFileProbe::Kind::Folder;
    probe.kinds[u"C:\\tools\\t.exe"] = IFileProbe::Kind::File;
    using common::RegistrationCheck;
    EXPECT_EQ(common::CheckRegistration(u"k:\\apps\\app.EXE", true, kFolder, probe), RegistrationCheck::Accepted);
    EXPECT_EQ(common::CheckRegistration(u"K:\\docs", true, kFolder, probe), RegistrationCheck::Accepted);
    EXPECT_EQ(common::CheckRegistration(u"K:\\apps\\app.lnk", true, kFolder, probe),
              RegistrationCheck::NotProgramOrFolder);
    EXPECT_EQ(common::CheckRegistration(u"K:\\gone.exe", true, kFolder, probe), RegistrationCheck::NotProgramOrFolder);
    EXPECT_EQ(common::CheckRegistration(u"C:\\tools\\t.exe", true, kFolder, probe), RegistrationCheck::OtherDrive);
    EXPECT_EQ(common::CheckRegistration(u"", true, kFolder, probe), RegistrationCheck::OtherDrive);
    EXPECT_EQ(common::CheckRegistration(u"C:\\tools\\t.exe", false, kFolder, probe), RegistrationCheck::Accepted);
}

// Catches: a full removal that follows the caption (renamed to "..", "" or another package's name it would
// delete that folder, or every program on the stick), a path that climbs out of "Portable Programs" or names it
// whole, and a program that lies elsewhere (a link to a folder the suite does not own).
TEST(ItemCommands, FullRemovalDeletesOnlyThePackagesOwnFolder) {
    EXPECT_EQ(common::ProgramFolderToDelete(kFolder, u"K:\\Portable Programs\\메모장\\메모장.exe"),
              u"K:\\Portable Programs\\메모장");
    EXPECT_EQ(common::ProgramFolderToDelete(kFolder, u"k:\\portable programs\\Viewer\\bin\\v.exe"),
              u"K:\\Portable Programs\\Viewer")
        << "the folder the program lies in, however deep";
    for (const char16_t* unsafe :
         {u"", u"..", u"메모장", u"K:\\Portable Programs\\", u"K:\\Portable Programs\\..\\Kelvo\\Tolv.exe",
          u"K:\\Portable Programs\\CON\\x.exe", u"K:\\Portable Programs\\dots.exe", u"K:\\Portable Programs\\메모장\\",
          u"K:\\Kelvo\\Tolv.exe", u"C:\\Windows\\notepad.exe", u"C:\\Portable Programs\\메모장\\메모장.exe"}) {
        EXPECT_FALSE(common::ProgramFolderToDelete(kFolder, unsafe)) << std::u16string(unsafe).size();
    }
    EXPECT_FALSE(common::ProgramFolderToDelete(u"", u"K:\\Portable Programs\\메모장\\메모장.exe"));
}

// Catches: an empty command accepted, a document accepted, the caption default taken without the extension (a
// drop takes it without, the panel with), and the icon defaulted here instead of by the caller.
TEST(ItemCommands, PanelEntryNeedsAProgramOrFolderAndDefaultsTheCaption) {
    FakeProbe probe;
    probe.kinds[u"K:\\apps\\app.exe"] = IFileProbe::Kind::File;
    probe.kinds[u"K:\\notes.txt"] = IFileProbe::Kind::File;
    common::PanelEntry entry;
    EXPECT_EQ(common::CheckPanelEntry(u"", u"x", u"", u"", kFolder, probe, &entry), common::PanelCheck::EmptyCommand);
    EXPECT_EQ(common::CheckPanelEntry(u"K:\\notes.txt", u"", u"", u"", kFolder, probe, &entry),
              common::PanelCheck::NotProgramOrFolder);
    ASSERT_EQ(common::CheckPanelEntry(u"K:\\apps\\app.exe", u"", u"-v", u"", kFolder, probe, &entry),
              common::PanelCheck::Accepted);
    EXPECT_EQ(entry.caption, u"app.exe");
    EXPECT_EQ(entry.param, u"-v");
    EXPECT_EQ(entry.icon, u"");
    ASSERT_EQ(common::CheckPanelEntry(u"K:\\apps\\app.exe", u"앱", u"", u"K:\\a.ico", kFolder, probe, &entry),
              common::PanelCheck::Accepted);
    EXPECT_EQ(entry.caption, u"앱");
    EXPECT_EQ(entry.icon, u"K:\\a.ico");
}

}  // namespace
