// The suite's own update: its profile on the store's FTP server, the version rule, and where each file goes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/store/FileInfo.h"

namespace common {

// Where the updater finds the suite's update on the store's FTP host (lower-case "launcher" for the profile,
// capital "Launcher" for the files, as the server lays them out).
inline constexpr char16_t kSuiteProfileFolder[] = u"/application/launcher";
inline constexpr char16_t kSuiteFilesFolder[] = u"/application/Launcher";

struct SuiteUpdateProfile {
    std::u16string version;        // empty when the profile has none
    std::vector<CFileInfo> files;  // document order
    int64_t fileSizeTotal = 0;     // sums, held at the int64_t range
    int64_t realSizeTotal = 0;
};

enum class SuiteProfileError {
    None,
    NotAProfile,   // not XML, or its root is not UPDATEPROFILE with children
    TooManyFiles,  // more than kMaxFileEntries entries
    BadFileName,   // a FILENAME that is not a plain name: it would land outside the suite folder
};

// Reads a profile file's bytes (the light XML document). HEAD and GAMEFILELIST are found by name; DIRECTORY,
// TYPE, COMPRESS, DATE and CHECKSUM are read and not used. On an error `profile` is left empty.
SuiteProfileError ReadSuiteUpdateProfile(const std::vector<uint8_t>& bytes, SuiteUpdateProfile& profile);

// An update is offered when the versions differ in any way but letter case, an empty local version included
// (no order: 1.1 after 1.2 is offered too). No server version means nothing to offer.
bool IsSuiteUpdateOffered(std::u16string_view localVersion, std::u16string_view serverVersion);

// Where a listed file is installed: the suite folder, except Start.exe (any case), which goes to the root of the
// suite's drive. nullopt for a name that is not plain or a path that does not fit 260 units.
std::optional<std::u16string> SuiteUpdateTarget(std::u16string_view suiteFolder, std::u16string_view fileName);

}  // namespace common
