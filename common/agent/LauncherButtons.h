// The Backup and Documents items the agent adds to or removes from the launcher, and the settings program's
// command line for a start view.
#pragma once

#include <string>
#include <string_view>

#include "common/model/PackageRecord.h"

namespace common {

// Start views of the settings program the agent opens.
inline constexpr int kSettingsViewBackup = 2;
inline constexpr int kSettingsViewHelp = 4;

// The settings program's parameters for one start view: the count of further arguments (1) and the view, each
// after a minus sign ("-1 -2").
std::u16string SettingsViewParams(int view);

// "<drive>:\Documents" from the first two units of the module folder.
std::u16string DocumentsFolder(std::u16string_view moduleFolder);

// Kind-4 (add) or kind-5 (remove) records; a remove record carries only the type and the caption the launcher
// matches on (PKGID 0 and "Backup" / "Documents").
PackageRecord BackupButtonRecord(bool isAdd, std::u16string_view moduleFolder);
PackageRecord DocumentsButtonRecord(bool isAdd, std::u16string_view documentsFolder);

}  // namespace common
