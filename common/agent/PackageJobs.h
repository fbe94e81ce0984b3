// The package engine's decisions without the Windows API: jobs from the store page, the store addresses of a
// job's files, where they land, the percent the launcher sees, and the two edits the engine makes in
// TolvEnv.xml when the launcher is not running.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/agent/JobQueues.h"
#include "common/model/EnvironmentFile.h"
#include "common/store/PathNames.h"

namespace common {

// The store page gives a package index, its store directory and its package name. Both names become parts of
// addresses and of the download folder, so each must be a plain name (CheckPlainName) that fits its 100-unit
// field; nullopt otherwise. The profile path is "/<directory>/<name>/Profile.xml".
std::optional<PackageJob> MakePackageJob(int32_t packageIndex, std::u16string_view storeDirectory,
                                         std::u16string_view packageName);

// "HTTP://<host>/application<profile path>".
std::u16string ProfileUrl(std::u16string_view httpHost, const PackageJob& job);
// "FTP://<host>/application/<BASEDIR>/<ALIAS><DIRECTORY>/<FILENAME>", the directory as the profile wrote it.
std::u16string PackageFileUrl(std::u16string_view ftpHost, std::u16string_view baseDir, std::u16string_view alias,
                              std::u16string_view directory, std::u16string_view fileName);

// The program a package runs: "<drive>:\Portable Programs\<ALIAS>\<EXEFILE>".
std::u16string PackageProgramPath(char16_t drive, std::u16string_view alias, std::u16string_view exeFile);

// Percent of the progress total, cut towards zero and kept within 0..100; 0 while the total is not positive.
int32_t ProgressPercent(int64_t bytesDone, int64_t progressTotal);

// Where a fetched file is kept before it is copied: "<temp>\<ALIAS><dirs>\<file>"; and where it is installed:
// "<package folder><dirs>\<file>". NameError::None on success; the names were checked when the profile was read,
// so an error here means the path does not fit kPathBufferUnits.
NameError DownloadPath(std::u16string_view tempFolder, std::u16string_view alias, std::u16string_view directory,
                       std::u16string_view fileName, std::u16string& path);
NameError InstallPath(std::u16string_view packageFolder, std::u16string_view directory, std::u16string_view fileName,
                      std::u16string& path);

// The launcher's side of an announced package, made in the file when the launcher is not running: a package
// with this PKGID gets UPDATEFLAG 2; otherwise a new store package (UPDATEFLAG 2) goes on the first page with
// room. False when nothing was changed (no such page, a file that cannot be read or saved).
bool AddPackageToEnv(CEnvironmentFile& file, int32_t packageIndex, std::u16string_view caption,
                     std::u16string_view programPath);
// The first package with this PKGID gets UPDATEFLAG 0. False when none was changed.
bool ClearUpdateFlag(CEnvironmentFile& file, int32_t packageIndex);
// A failed first install, without the launcher: the entry AddPackageToEnv made goes again. Only an entry still
// marked as installing is taken, so a package the user has (or got meanwhile) stays. False when none went.
bool RemoveInstallingPackage(CEnvironmentFile& file, int32_t packageIndex);

}  // namespace common
