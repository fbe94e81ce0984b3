// The agent's file steps at start-up: staged updater, credentials, settings and environment with their defaults.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/credentials/Credentials.h"
#include "common/io/FileStore.h"
#include "common/settings/SettingsRecord.h"

// A staged "KelvoUp.ex_" in the folder replaces "KelvoUp.exe" in one move. Nothing is reported; when the move
// fails, both files stay as they were and the next start tries again.
void ReplaceStagedUpdater(const std::wstring& moduleFolder);

// Empty, invalid credentials when the file is missing or foreign.
common::Credentials ReadCredentials(common::IFileStore& store, const std::u16string& path);

// Reads TolvSet.xml into `snapshot` with the agent's rule. True when the file was accepted.
bool ReadSettingsInto(common::IFileStore& store, const std::u16string& path, common::SettingsRecord& snapshot);

// Before a default replaces a rejected file, its bytes are kept as the newest backup copy "<path>.bak", older copies
// moving to ".bak2" and ".bak3" (BackupCopies.h), so a file the user can still mend is not lost. A file that is
// byte for byte this program's default for its name (TolvSet.xml, TolvEnv.xml) holds nothing of the user's and is
// not kept. True when there was nothing to keep or the copy was written.
bool KeepRejectedFile(common::IFileStore& store, const std::u16string& path);

// Writes the bytes of XML resource `resourceId` of `module` to `path`. False when the resource is missing or the
// file cannot be written.
bool WriteDefaultResource(common::IFileStore& store, HMODULE module, UINT resourceId, const std::u16string& path);

// Sets UPDATEFLAG to 0 for each listed PKGID in TolvEnv.xml (one save per package) and empties the list.
void ClearUpdateFlags(common::IFileStore& store, const std::u16string& path, std::vector<int32_t>& packageIds);
