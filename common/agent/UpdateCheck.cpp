// The update check's portable decisions.
#include "common/agent/UpdateCheck.h"

#include <algorithm>

#include "common/ipc/SuiteNames.h"
#include "common/store/PathNames.h"
#include "common/store/Profile.h"
#include "common/text/TextUtil.h"

namespace common {

bool IsStoreProfilePath(std::u16string_view profilePath) {
    constexpr std::u16string_view kName = kProfileFile;
    const size_t nameAt = profilePath.size() - std::min(profilePath.size(), kName.size());
    if (nameAt == 0 || profilePath.substr(nameAt) != kName || profilePath[nameAt - 1] != u'/') {
        return false;
    }
    std::u16string_view folders = profilePath.substr(0, nameAt - 1);
    std::optional<std::vector<std::u16string_view>> parts = SplitDirectory(folders);
    return parts && parts->size() == 2 && CheckDirectory(folders, kPathBufferUnits) == NameError::None;
}

std::optional<StoreProfileParts> SplitStoreProfilePath(std::u16string_view profilePath) {
    if (!IsStoreProfilePath(profilePath)) {
        return std::nullopt;
    }
    std::u16string_view folders =
        profilePath.substr(0, profilePath.size() - std::u16string_view(kProfileFile).size() - 1);
    std::optional<std::vector<std::u16string_view>> parts = SplitDirectory(folders);
    return StoreProfileParts{std::u16string((*parts)[0]), std::u16string((*parts)[1])};
}

namespace {

// "<base>\<folder>\Profile.xml" for a plain folder name that fits, else nullopt.
std::optional<std::u16string> ProfileUnder(const std::u16string& base, std::u16string_view folderName) {
    std::u16string folder;
    std::u16string path;
    if (folderName.empty() || JoinUnder(base, u"", folderName, kPathBufferUnits, folder) != NameError::None ||
        JoinUnder(folder, u"", kProfileFile, kPathBufferUnits, path) != NameError::None) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

std::optional<std::u16string> UpdateCheckDownloadPath(std::u16string_view tempFolder, std::u16string_view folderName) {
    std::u16string base(tempFolder);
    if (base.empty() || base.back() != u'\\') {
        base += u"\\";
    }
    base += u"Kelvo-check";
    return ProfileUnder(base, folderName);
}

std::optional<std::u16string> DriveProfilePath(char16_t drive, std::u16string_view folderName) {
    return ProfileUnder(PackagesRoot(drive), folderName);
}

bool IsUpdateAvailable(std::u16string_view storeVersion, const std::optional<std::u16string>& driveVersion) {
    return !driveVersion || !EqualsIgnoreCase(storeVersion, *driveVersion);
}

}  // namespace common
