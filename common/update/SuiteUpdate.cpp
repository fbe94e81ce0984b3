// The suite's own update, decided portably.
#include "common/update/SuiteUpdate.h"

#include "common/ipc/SuiteNames.h"
#include "common/store/PathNames.h"
#include "common/store/Profile.h"
#include "common/store/ProfileItem.h"
#include "common/text/TextUtil.h"
#include "common/xml/XmlDocument.h"

namespace common {

SuiteProfileError ReadSuiteUpdateProfile(const std::vector<uint8_t>& bytes, SuiteUpdateProfile& profile) {
    profile = SuiteUpdateProfile{};
    CXmlDocument document;
    document.ParseBytes(bytes);
    const CXmlElement* root = document.Root().element;
    if (root == nullptr || !EqualsIgnoreCase(root->Name(), u"UPDATEPROFILE") || root->FirstChild() == nullptr) {
        return SuiteProfileError::NotAProfile;
    }
    ProfileItem tree = ProfileItemFromXml(*root, kProfileTreeDepth, kMaxFileEntries + 1);
    SuiteUpdateProfile read;
    if (const ProfileItem* head = FindItem(tree, u"HEAD")) {
        if (const ProfileItem* version = FindItem(*head, u"VERSION")) {
            read.version = version->value;
        }
    }
    if (const ProfileItem* list = FindItem(tree, u"GAMEFILELIST")) {
        if (list->children.size() > kMaxFileEntries) {
            return SuiteProfileError::TooManyFiles;
        }
        for (const ProfileItem& element : list->children) {
            CFileInfo entry = ReadFileEntry(element);
            if (CheckPlainName(entry.fileName, kPathBufferUnits) != NameError::None) {
                return SuiteProfileError::BadFileName;
            }
            read.fileSizeTotal = SaturatingAdd(read.fileSizeTotal, entry.fetchedSize > 0 ? entry.fetchedSize : 0);
            read.realSizeTotal = SaturatingAdd(read.realSizeTotal, entry.realSize);
            read.files.push_back(std::move(entry));
        }
    }
    profile = std::move(read);
    return SuiteProfileError::None;
}

bool IsSuiteUpdateOffered(std::u16string_view localVersion, std::u16string_view serverVersion) {
    return !serverVersion.empty() && !EqualsIgnoreCase(localVersion, serverVersion);
}

std::optional<std::u16string> SuiteUpdateTarget(std::u16string_view suiteFolder, std::u16string_view fileName) {
    if (suiteFolder.size() < 2) {
        return std::nullopt;
    }
    const bool isStarter = EqualsIgnoreCase(fileName, kStarterProgram);
    std::u16string base = isStarter ? std::u16string(suiteFolder.substr(0, 2)) : std::u16string(suiteFolder);
    std::u16string path;
    if (JoinUnder(base, u"", fileName, kPathBufferUnits, path) != NameError::None) {
        return std::nullopt;
    }
    return path;
}

}  // namespace common
