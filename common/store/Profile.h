// The package profile (Profile.xml): head values and file list, read from an item tree and checked whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/store/FileInfo.h"
#include "common/store/PathNames.h"
#include "common/store/ProfileItem.h"

namespace common {

// A profile listing more files than this is refused whole. Real packages list tens to a few hundred files; the
// bound keeps a hostile list from growing the job's memory and its size sums without limit.
inline constexpr size_t kMaxFileEntries = 10000;
// Levels below the document element that the reader looks at (GAMEFILELIST / FILE / FILENAME); adapters need
// copy no deeper.
inline constexpr size_t kProfileTreeDepth = 3;
// ALIAS is also the launcher's caption, sent in a 50-unit field; a cut caption would name another folder.
inline constexpr size_t kAliasUnits = 50;
// The store page's package name goes into a 100-unit job field and names the temporary sub-folder; check it
// with CheckPlainName(name, kPackageNameUnits).
inline constexpr size_t kPackageNameUnits = 100;
// What the user sees when a profile is refused for any reason.
inline constexpr std::u16string_view kProfileFailureText = u"[Error] XML Parsing fail (1)";

enum class ProfileError {
    None,
    NoHead,
    MissingVersion,  // each required HEAD value missing, empty or only white space
    MissingChannel,
    MissingAlias,
    MissingExeFile,
    BadAlias,      // ALIAS fails CheckPlainName or is kAliasUnits long or longer
    BadExeFile,    // EXEFILE fails CheckPlainName, or the program path does not fit kPathBufferUnits
    TooManyFiles,  // more than kMaxFileEntries entries
    BadFileName,   // an entry's FILENAME fails CheckPlainName
    BadDirectory,  // an entry's DIRECTORY fails CheckDirectory
    PathTooLong,   // an entry's path in the package folder does not fit kPathBufferUnits
};

// Why a profile was refused, for the log: the error, the name check's reason, and the entry's index in the
// file list when the error is about an entry.
struct ProfileProblem {
    ProfileError error = ProfileError::None;
    NameError nameError = NameError::None;
    size_t entry = 0;
};

// HEAD. BASEDIR and SVCTYPE are optional: absent values do not replace the ones kept from an earlier profile
// (see KeepHead).
struct ProfileHead {
    std::u16string version;
    std::u16string channel;
    std::u16string alias;
    std::u16string exeFile;
    std::optional<std::u16string> baseDir;
    std::optional<std::u16string> svcType;
};

struct PackageProfile {
    ProfileHead head;
    std::vector<CFileInfo> files;  // document order, each with transferState kTransferPending
    int64_t totalRealSize = 0;     // sum of realSize, clamped to the int64_t range

    // Twice the real-size total, the range the job's progress runs over; clamped like the total.
    int64_t ProgressTotal() const;
};

// Reads and checks a whole profile. On success `profile` holds it; on failure `profile` is left as it was and
// `problem`, when given, says why. Every name that later forms a drive path (ALIAS, EXEFILE, each FILENAME and
// DIRECTORY) is checked here, and so is the length of each such path below "X:\Portable Programs\". Paths below
// the Windows temporary folder depend on that folder's length and must be joined with JoinUnder at job time.
// A missing or empty GAMEFILELIST gives an empty list. Numbers are leading-integer text; unreadable ones are 0.
ProfileError ReadProfile(const ProfileItem& root, PackageProfile& profile, ProfileProblem* problem = nullptr);

// a + b, held at the int64_t range instead of wrapping: sizes from a profile are not to be trusted.
int64_t SaturatingAdd(int64_t a, int64_t b);

// One GAMEFILELIST entry, fields found by name in the documented order; a missing element leaves its field at the
// default. FILESIZE, DATE and CHECKSUM are read only when COMPARISON names them. Names are not checked here.
CFileInfo ReadFileEntry(const ProfileItem& element);

// HEAD/VERSION alone, for the update check, which compares versions and reads nothing else.
// nullopt when HEAD or VERSION is missing or VERSION is empty.
std::optional<std::u16string> ReadProfileVersion(const ProfileItem& root);

// The agent keeps one set of head values across jobs: a loaded head replaces it, except that a profile without
// BASEDIR or SVCTYPE leaves the kept value of that field.
void KeepHead(const ProfileHead& loaded, ProfileHead& kept);

// "<drive>:\Portable Programs", the folder every package's folder lies in.
std::u16string PackagesRoot(char16_t drive);
// The folder of a package on the drive, "<drive>:\Portable Programs\<alias>", for an alias ReadProfile accepted.
std::u16string PackageFolder(char16_t drive, std::u16string_view alias);
// The folder a store package was installed into: the element of its PATH right below
// "<drive>:\Portable Programs\". nullopt when the path lies elsewhere or the element is not a plain name. A
// caption can be renamed; this folder cannot, so removal and update look here.
std::optional<std::u16string> InstallFolderOf(std::u16string_view path, char16_t drive);

}  // namespace common
