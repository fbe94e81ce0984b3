// Profile reading: required head values, file-list entries, and the name and length checks on both.
#include "common/store/Profile.h"

#include <limits>

#include "common/ipc/SuiteNames.h"
#include "common/store/PathNames.h"
#include "common/text/TextUtil.h"

namespace common {

namespace {

// The DOM wrapper drops text nodes made only of white space, the light XML document keeps them; treating such
// text as empty makes both sources refuse the same profiles.
bool IsBlank(std::u16string_view text) {
    for (char16_t unit : text) {
        if (unit > 32) {
            return false;
        }
    }
    return true;
}

// The text of a required HEAD value, or nullopt when it is missing or blank.
std::optional<std::u16string> RequiredText(const ProfileItem& head, std::u16string_view name) {
    const ProfileItem* item = FindItem(head, name);
    if (item == nullptr || IsBlank(item->value)) {
        return std::nullopt;
    }
    return item->value;
}

std::optional<std::u16string> OptionalText(const ProfileItem& head, std::u16string_view name) {
    const ProfileItem* item = FindItem(head, name);
    if (item == nullptr) {
        return std::nullopt;
    }
    return item->value;
}

uint32_t ComparisonFlags(std::u16string_view text) {
    uint32_t flags = 0;
    for (char16_t unit : text) {
        switch (unit) {
            case u'S':
            case u's':
                flags |= kCompareSize;
                break;
            case u'D':
            case u'd':
                flags |= kCompareDate;
                break;
            case u'C':
            case u'c':
                flags |= kCompareChecksum;
                break;
            default:
                break;
        }
    }
    return flags;
}

ProfileError Refuse(ProfileProblem* problem, ProfileError error, NameError nameError = NameError::None,
                    size_t entry = 0) {
    if (problem != nullptr) {
        *problem = {error, nameError, entry};
    }
    return error;
}

ProfileError ReadHead(const ProfileItem& root, ProfileHead& head, ProfileProblem* problem) {
    const ProfileItem* headItem = FindItem(root, u"HEAD");
    if (headItem == nullptr) {
        return Refuse(problem, ProfileError::NoHead);
    }
    struct Required {
        std::u16string_view name;
        std::u16string* field;
        ProfileError error;
    };
    const Required required[] = {
        {u"VERSION", &head.version, ProfileError::MissingVersion},
        {u"CHANNEL", &head.channel, ProfileError::MissingChannel},
        {u"ALIAS", &head.alias, ProfileError::MissingAlias},
        {u"EXEFILE", &head.exeFile, ProfileError::MissingExeFile},
    };
    for (const Required& value : required) {
        std::optional<std::u16string> text = RequiredText(*headItem, value.name);
        if (!text) {
            return Refuse(problem, value.error);
        }
        *value.field = std::move(*text);
    }
    head.baseDir = OptionalText(*headItem, u"BASEDIR");
    head.svcType = OptionalText(*headItem, u"SVCTYPE");

    NameError nameError = CheckPlainName(head.alias, kAliasUnits);
    if (nameError != NameError::None) {
        return Refuse(problem, ProfileError::BadAlias, nameError);
    }
    std::u16string programPath;
    nameError = JoinUnder(PackageFolder(u'X', head.alias), u"", head.exeFile, kPathBufferUnits, programPath);
    if (nameError != NameError::None) {
        return Refuse(problem, ProfileError::BadExeFile, nameError);
    }
    return ProfileError::None;
}

ProfileError ReadFiles(const ProfileItem& root, std::u16string_view alias, PackageProfile& profile,
                       ProfileProblem* problem) {
    const ProfileItem* list = FindItem(root, u"GAMEFILELIST");
    if (list == nullptr) {
        return ProfileError::None;
    }
    if (list->children.size() > kMaxFileEntries) {
        return Refuse(problem, ProfileError::TooManyFiles);
    }
    const std::u16string packageFolder = PackageFolder(u'X', alias);
    profile.files.reserve(list->children.size());
    for (size_t index = 0; index < list->children.size(); ++index) {
        CFileInfo entry = ReadFileEntry(list->children[index]);
        NameError nameError = CheckPlainName(entry.fileName, kPathBufferUnits);
        if (nameError != NameError::None) {
            return Refuse(problem, ProfileError::BadFileName, nameError, index);
        }
        nameError = CheckDirectory(entry.directory, kPathBufferUnits);
        if (nameError != NameError::None) {
            return Refuse(problem, ProfileError::BadDirectory, nameError, index);
        }
        std::u16string drivePath;
        nameError = JoinUnder(packageFolder, entry.directory, entry.fileName, kPathBufferUnits, drivePath);
        if (nameError != NameError::None) {
            return Refuse(problem, ProfileError::PathTooLong, nameError, index);
        }
        profile.totalRealSize = SaturatingAdd(profile.totalRealSize, entry.realSize);
        profile.files.push_back(std::move(entry));
    }
    return ProfileError::None;
}

}  // namespace

int64_t SaturatingAdd(int64_t a, int64_t b) {
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) {
        return b < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    }
    return sum;
}

CFileInfo ReadFileEntry(const ProfileItem& element) {
    CFileInfo entry;
    if (const ProfileItem* item = FindItem(element, u"FILENAME")) {
        entry.fileName = item->value;
    }
    if (const ProfileItem* item = FindItem(element, u"DIRECTORY")) {
        entry.directory = item->value;
    }
    if (const ProfileItem* item = FindItem(element, u"TYPE")) {
        entry.type = item->value;
    }
    if (const ProfileItem* item = FindItem(element, u"COMPRESS")) {
        entry.compress = ParseLeadingInt(item->value);
    }
    if (const ProfileItem* item = FindItem(element, u"COMPARISON")) {
        entry.comparison = ComparisonFlags(item->value);
    }
    const ProfileItem* fileSize = FindItem(element, u"FILESIZE");
    if (fileSize != nullptr && (entry.comparison & kCompareSize) != 0) {
        entry.fetchedSize = ParseLeadingInt64(fileSize->value);
    }
    if (const ProfileItem* item = FindItem(element, u"REALSIZE")) {
        entry.realSize = ParseLeadingInt64(item->value);
    }
    const ProfileItem* date = FindItem(element, u"DATE");
    if (date != nullptr && (entry.comparison & kCompareDate) != 0) {
        entry.date = date->value;
    }
    const ProfileItem* checksum = FindItem(element, u"CHECKSUM");
    if (checksum != nullptr && (entry.comparison & kCompareChecksum) != 0) {
        entry.checksum = checksum->value;
    }
    entry.transferState = kTransferPending;
    return entry;
}

int64_t PackageProfile::ProgressTotal() const {
    return SaturatingAdd(totalRealSize, totalRealSize);
}

ProfileError ReadProfile(const ProfileItem& root, PackageProfile& profile, ProfileProblem* problem) {
    PackageProfile read;
    ProfileError error = ReadHead(root, read.head, problem);
    if (error == ProfileError::None) {
        error = ReadFiles(root, read.head.alias, read, problem);
    }
    if (error != ProfileError::None) {
        return error;
    }
    if (problem != nullptr) {
        *problem = {};
    }
    profile = std::move(read);
    return ProfileError::None;
}

std::optional<std::u16string> ReadProfileVersion(const ProfileItem& root) {
    const ProfileItem* head = FindItem(root, u"HEAD");
    if (head == nullptr) {
        return std::nullopt;
    }
    return RequiredText(*head, u"VERSION");
}

void KeepHead(const ProfileHead& loaded, ProfileHead& kept) {
    std::optional<std::u16string> baseDir = loaded.baseDir ? loaded.baseDir : kept.baseDir;
    std::optional<std::u16string> svcType = loaded.svcType ? loaded.svcType : kept.svcType;
    kept = loaded;
    kept.baseDir = std::move(baseDir);
    kept.svcType = std::move(svcType);
}

std::u16string PackagesRoot(char16_t drive) {
    std::u16string folder(1, drive);
    folder += u":\\";
    folder += kPackagesFolder;
    return folder;
}

std::u16string PackageFolder(char16_t drive, std::u16string_view alias) {
    std::u16string folder = PackagesRoot(drive);
    folder += u"\\";
    folder += alias;
    return folder;
}

std::optional<std::u16string> InstallFolderOf(std::u16string_view path, char16_t drive) {
    std::u16string prefix = PackagesRoot(drive) + u"\\";
    if (path.size() <= prefix.size() || !EqualsIgnoreCase(path.substr(0, prefix.size()), prefix)) {
        return std::nullopt;
    }
    std::u16string_view rest = path.substr(prefix.size());
    // The program lies inside the folder; one right in "Portable Programs" has no folder of its own.
    size_t slash = rest.find(u'\\');
    if (slash == std::u16string_view::npos || slash + 1 == rest.size()) {
        return std::nullopt;
    }
    std::u16string_view folder = rest.substr(0, slash);
    if (CheckPlainName(folder, kPathBufferUnits) != NameError::None) {
        return std::nullopt;
    }
    return std::u16string(folder);
}

}  // namespace common
