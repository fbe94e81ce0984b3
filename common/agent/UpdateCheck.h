// The update check's decisions: which requests it takes, where it keeps the store's profile, and what two
// versions mean.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// The kind-0 request the check answers.
#include "common/ipc/AgentPayloads.h"

namespace common {

// A profile path as the store page and the settings program build it: "/<store directory>/<package name>/
// Profile.xml", each name a plain one. Anything else would reach other addresses on the store's server.
bool IsStoreProfilePath(std::u16string_view profilePath);

// The store directory and package name of such a path; nullopt for any other path.
struct StoreProfileParts {
    std::u16string storeDirectory;
    std::u16string packageName;
};
std::optional<StoreProfileParts> SplitStoreProfilePath(std::u16string_view profilePath);

// Where the check keeps the store's profile: "<temp>\Kelvo-check\<folder>\Profile.xml", apart from the download
// area of a job, which may be fetching the same package at that moment. nullopt unless `folderName` is a plain
// name and the path fits.
std::optional<std::u16string> UpdateCheckDownloadPath(std::u16string_view tempFolder, std::u16string_view folderName);
// The drive's profile of a package: "<drive>:\Portable Programs\<folder>\Profile.xml"; nullopt as above.
std::optional<std::u16string> DriveProfilePath(char16_t drive, std::u16string_view folderName);

// Any difference but letter case is an update (versions are texts, not numbers, so "1.0" and "1.00" differ and
// an older store version counts too); a drive without a usable version always needs one.
bool IsUpdateAvailable(std::u16string_view storeVersion, const std::optional<std::u16string>& driveVersion);

}  // namespace common
