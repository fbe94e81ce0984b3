// Launcher items the agent's settings handling sends.
#include "common/agent/LauncherButtons.h"

#include "common/ipc/SuiteNames.h"
#include "common/text/PathUtil.h"
#include "common/text/TextUtil.h"

namespace common {

namespace {
constexpr int32_t kPkgTypeButton = 3;
constexpr int32_t kTypeBackup = 15;
constexpr int32_t kTypeFolder = 1;
}  // namespace

std::u16string SettingsViewParams(int view) {
    return u"-1 -" + FormatInt(view);
}

std::u16string DocumentsFolder(std::u16string_view moduleFolder) {
    return std::u16string(moduleFolder.substr(0, 2)) + u"\\" + kDocumentsFolder;
}

PackageRecord BackupButtonRecord(bool isAdd, std::u16string_view moduleFolder) {
    PackageRecord record;
    record.type = kTypeBackup;
    record.caption.Set(u"Backup");
    if (isAdd) {
        record.pkgType = kPkgTypeButton;
        record.path.Set(JoinPath(moduleFolder, kSettingsProgram));
        record.param.Set(SettingsViewParams(kSettingsViewBackup));
        record.icon.Set(kSettingsProgram);
    }
    return record;
}

PackageRecord DocumentsButtonRecord(bool isAdd, std::u16string_view documentsFolder) {
    PackageRecord record;
    record.type = kTypeFolder;
    record.caption.Set(kDocumentsFolder);
    if (isAdd) {
        record.pkgType = kPkgTypeButton;
        record.path.Set(std::u16string(documentsFolder));
    }
    return record;
}

}  // namespace common
