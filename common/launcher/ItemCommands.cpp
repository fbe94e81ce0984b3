// The launcher's item commands, decided portably.
#include "common/launcher/ItemCommands.h"

#include "common/model/PageGrid.h"
#include "common/store/PathNames.h"
#include "common/store/Profile.h"
#include "common/text/PathUtil.h"
#include "common/text/TextUtil.h"

namespace common {

namespace {

constexpr char16_t kVerbOpen[] = u"open";
constexpr char16_t kSettingsStartParams[] = u"-0";

std::u16string DriveRoot(std::u16string_view launcherFolder) {
    return std::u16string(launcherFolder.substr(0, 3));
}

char16_t UpperAscii(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

bool IsProgramOrFolder(const std::u16string& path, IFileProbe& probe) {
    switch (probe.Probe(path)) {
        case IFileProbe::Kind::Folder:
            return true;
        case IFileProbe::Kind::File:
            return ExtensionStartsWith(path, u".exe");
        default:
            return false;
    }
}

}  // namespace

RunRequest PlanRun(const PackageRecord& record, const std::optional<std::u16string>& params,
                   std::u16string_view launcherFolder) {
    RunRequest request;
    if (record.updateFlag == kStateInstalling) {
        return request;
    }
    request.file = record.path.Get();
    const bool isMovable = record.pkgType == kPkgTypeMenu || record.pkgType == kPkgTypeStorePackage;
    if (isMovable && request.file.size() >= 2 && request.file[1] == u':' && !launcherFolder.empty()) {
        request.file[0] = launcherFolder.front();
    }
    request.params = params ? *params : record.param.Get();
    request.action = RunRequest::Action::Shell;
    switch (record.type) {
        case 0:
        case 1:
        case 2:
            request.verb = kVerbOpen;
            break;
        case kRunTypeSettings:
            request.verb = kVerbOpen;
            request.workingFolder = std::u16string(launcherFolder);
            // The settings button opens the general view whatever its PARAM says.
            request.params = params ? *params : std::u16string(kSettingsStartParams);
            break;
        case kRunTypeSearch:
            request.action = RunRequest::Action::Search;
            request.file = DriveRoot(launcherFolder);
            request.params.clear();
            break;
        case kRunTypeStore:
            request.action = RunRequest::Action::OpenStore;
            request.file.clear();
            request.params.clear();
            break;
        case kRunTypeDrive:
            request.verb = kVerbOpen;
            request.file = DriveRoot(launcherFolder);
            break;
        default:
            break;  // the file's default verb
    }
    return request;
}

std::optional<std::u16string> RunFailureMessage(intptr_t result) {
    if (result == 0) {
        return std::u16string(u"메모리가 부족하여 실행 할 수 없습니다.");
    }
    const bool isReported =
        result == 2 || result == 3 || result == 5 || result == 8 || result == 11 || (result >= 26 && result <= 32);
    if (!isReported) {
        return std::nullopt;
    }
    return u"해당 명령을 실행 할 수 없습니다.\nError Code : (" + FormatInt(static_cast<int32_t>(result)) + u")";
}

ItemMenu MenuForItem(const PackageRecord& record) {
    if (record.updateFlag == kStateInstalling || record.pkgType == kPkgTypeBuiltInButton) {
        return ItemMenu::None;
    }
    return record.updateFlag == kStateUpdateAvailable ? ItemMenu::Update : ItemMenu::Plain;
}

std::u16string EditParams(int32_t pkgId) {
    return u"-2 -1 -" + FormatInt(pkgId);
}

bool IsUserCommand(const PackageRecord& record) {
    return record.pkgType == kPkgTypeDropped || record.pkgType == kPkgTypeTyped;
}

RegistrationCheck CheckRegistration(const std::u16string& path, bool mustBeOnLauncherDrive,
                                    std::u16string_view launcherFolder, IFileProbe& probe) {
    if (mustBeOnLauncherDrive) {
        if (path.empty() || launcherFolder.empty() || UpperAscii(path[0]) != UpperAscii(launcherFolder[0])) {
            return RegistrationCheck::OtherDrive;
        }
    }
    return IsProgramOrFolder(path, probe) ? RegistrationCheck::Accepted : RegistrationCheck::NotProgramOrFolder;
}

std::optional<std::u16string> ProgramFolderToDelete(std::u16string_view launcherFolder,
                                                    std::u16string_view programPath) {
    if (launcherFolder.empty()) {
        return std::nullopt;
    }
    const char16_t drive = launcherFolder.front();
    std::optional<std::u16string> folder = InstallFolderOf(programPath, drive);
    if (!folder) {
        return std::nullopt;
    }
    return PackageFolder(drive, *folder);
}

PanelCheck CheckPanelEntry(const std::u16string& command, const std::u16string& caption, const std::u16string& param,
                           const std::u16string& icon, std::u16string_view launcherFolder, IFileProbe& probe,
                           PanelEntry* entry) {
    if (command.empty()) {
        return PanelCheck::EmptyCommand;
    }
    if (CheckRegistration(command, false, launcherFolder, probe) != RegistrationCheck::Accepted) {
        return PanelCheck::NotProgramOrFolder;
    }
    entry->caption = caption.empty() ? std::u16string(FileName(command)) : caption;
    entry->path = command;
    entry->param = param;
    entry->icon = icon;
    return PanelCheck::Accepted;
}

}  // namespace common
