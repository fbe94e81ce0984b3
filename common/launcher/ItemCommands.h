// What the launcher does with its entries, decided without the Windows API: how an entry runs, which context
// menu an item gets, whether a dropped or typed path may be registered, and what a removal may delete.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/model/FileProbe.h"
#include "common/model/PackageRecord.h"

namespace common {

// PKGTYPE values.
inline constexpr int32_t kPkgTypeMenu = 0;
inline constexpr int32_t kPkgTypeStorePackage = 1;
inline constexpr int32_t kPkgTypeDropped = 2;
inline constexpr int32_t kPkgTypeBuiltInButton = 3;  // the Backup and Documents buttons
inline constexpr int32_t kPkgTypeTyped = 4;          // added in the command panel

// TYPE values that run in a way of their own.
inline constexpr int32_t kRunTypeSettings = 10;
inline constexpr int32_t kRunTypeSearch = 11;
inline constexpr int32_t kRunTypeStore = 12;
inline constexpr int32_t kRunTypeDrive = 13;

struct RunRequest {
    enum class Action {
        None,       // nothing runs (an item being installed or updated)
        Shell,      // ShellExecute with the fields below
        Search,     // the system's file search on `file`, the drive root
        OpenStore,  // ask the agent to open the store page
    };
    Action action = Action::None;
    std::u16string verb;  // empty: the file's default verb
    std::u16string file;
    std::u16string params;
    std::u16string workingFolder;  // empty: none
};

// How an entry runs. `params`, when given, replace the entry's PARAM (the edit command passes its own).
// `launcherFolder` is the folder of Tolv.exe; its first unit is the launcher's drive.
RunRequest PlanRun(const PackageRecord& record, const std::optional<std::u16string>& params,
                   std::u16string_view launcherFolder);

// The warning a failed ShellExecute result (a value of 32 or less) is reported with; nullopt for results that are
// not reported.
std::optional<std::u16string> RunFailureMessage(intptr_t result);

enum class ItemMenu {
    None,    // no menu (an item being installed or updated, a built-in button)
    Update,  // "업데이트", "항목편집", "프로그램 제거"
    Plain,   // "항목편집", "프로그램 제거"
};
ItemMenu MenuForItem(const PackageRecord& record);

// The parameters that open the settings program's program management view on package `pkgId`.
std::u16string EditParams(int32_t pkgId);

bool IsUserCommand(const PackageRecord& record);

enum class RegistrationCheck {
    Accepted,
    OtherDrive,          // not on the launcher's drive
    NotProgramOrFolder,  // missing, or a file whose extension does not begin with "exe"
};
// A dropped path must also be on the launcher's drive; a typed command need not be.
RegistrationCheck CheckRegistration(const std::u16string& path, bool mustBeOnLauncherDrive,
                                    std::u16string_view launcherFolder, IFileProbe& probe);

// The program folder a full removal deletes: the package's install folder "<drive>:\Portable Programs\<folder>",
// taken from its PATH (InstallFolderOf), never from its caption, which the user may have renamed to anything,
// another package's name included. nullopt when the path does not lie in such a folder: nothing is deleted then.
// Told after the package's caption when its folder could not be deleted.
inline constexpr char16_t kFolderInUseText[] =
    u" 폴더의 파일을 사용 중인 프로그램이 있어 삭제하지 못하였습니다.\n프로그램을 닫은 뒤 다시 시도하여 주십시오.";
std::optional<std::u16string> ProgramFolderToDelete(std::u16string_view launcherFolder,
                                                    std::u16string_view programPath);

// What the command panel's OK stores, from its four fields.
struct PanelEntry {
    std::u16string caption;
    std::u16string path;
    std::u16string param;
    std::u16string icon;
};
enum class PanelCheck { Accepted, EmptyCommand, NotProgramOrFolder };
// On Accepted, *entry holds the entry: an empty caption becomes the command's file name with its extension; an
// empty icon is left empty here (adding uses the command, editing keeps it empty).
PanelCheck CheckPanelEntry(const std::u16string& command, const std::u16string& caption, const std::u16string& param,
                           const std::u16string& icon, std::u16string_view launcherFolder, IFileProbe& probe,
                           PanelEntry* entry);

}  // namespace common
