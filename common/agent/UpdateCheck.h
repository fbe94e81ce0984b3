// The update check's decisions: which requests it takes, where it keeps the store's profile, and what two
// versions mean.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/ipc/CopyData.h"

namespace common {

// WM_COPYDATA kind 0 to the agent: the store's profile path at unit 0 and the package's folder name at unit 260,
// each in a field of 260 UTF-16 units. nullopt when `size` is below kSize; a field without a terminator stops at
// its 259th unit.
struct UpdateCheckPayload {
    static constexpr size_t kFieldUnits = 260;
    static constexpr size_t kSize = kUpdateCheckBytes;
    static_assert(kSize == 2 * kFieldUnits * sizeof(char16_t));

    std::u16string profilePath;
    std::u16string folderName;

    static std::optional<UpdateCheckPayload> Read(const void* data, size_t size);
};

// A profile path as the store page and the settings program build it: "/<store directory>/<package name>/
// Profile.xml", each name a plain one. Anything else would reach other addresses on the store's server.
bool IsStoreProfilePath(std::u16string_view profilePath);

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
