// Fuzz target: arbitrary profile bytes through the light XML document and the item adapter into the profile
// reader. Whatever the reader accepts must pass the name checks and the limits it promises.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/store/Profile.h"
#include "common/xml/XmlDocument.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    common::CXmlDocument document;
    document.ParseBytes(std::vector<uint8_t>(data, data + size));
    if (!document.Root()) {
        return 0;
    }
    common::ProfileItem tree =
        common::ProfileItemFromXml(*document.Root().element, common::kProfileTreeDepth, common::kMaxFileEntries + 1);

    common::PackageProfile profile;
    common::ProfileProblem problem;
    common::ProfileError error = common::ReadProfile(tree, profile, &problem);
    Check(problem.error == error);
    if (error != common::ProfileError::None) {
        Check(profile.files.empty() && profile.head.alias.empty());
        return 0;
    }
    Check(!profile.head.version.empty() && !profile.head.channel.empty());
    Check(common::CheckPlainName(profile.head.alias, common::kAliasUnits) == common::NameError::None);
    Check(profile.files.size() <= common::kMaxFileEntries);

    const std::u16string folder = common::PackageFolder(u'E', profile.head.alias);
    std::u16string path;
    Check(common::JoinUnder(folder, u"", profile.head.exeFile, common::kPathBufferUnits, path) ==
          common::NameError::None);
    int64_t largest = 0;
    for (const common::CFileInfo& entry : profile.files) {
        Check(common::CheckPlainName(entry.fileName, common::kPathBufferUnits) == common::NameError::None);
        Check(common::CheckDirectory(entry.directory, common::kPathBufferUnits) == common::NameError::None);
        Check(common::JoinUnder(folder, entry.directory, entry.fileName, common::kPathBufferUnits, path) ==
              common::NameError::None);
        Check(path.size() < common::kPathBufferUnits);
        Check(path.find(u"\\..\\") == std::u16string::npos && path.find(u'/') == std::u16string::npos);
        Check(path.find(u':') == 1 && path.find(u':', 2) == std::u16string::npos);
        Check(entry.transferState == common::kTransferPending);
        Check((entry.comparison & ~7u) == 0);
        Check((entry.comparison & common::kCompareSize) != 0 || entry.fetchedSize == -1);
        Check((entry.comparison & common::kCompareDate) != 0 || entry.date.empty());
        Check((entry.comparison & common::kCompareChecksum) != 0 || entry.checksum.empty());
        largest = entry.realSize > largest ? entry.realSize : largest;
    }
    // Every entry's size is at most the largest, so a total below the largest positive size means a wrapped sum
    // unless negative sizes pulled it down.
    bool hasNegative = false;
    for (const common::CFileInfo& entry : profile.files) {
        hasNegative = hasNegative || entry.realSize < 0;
    }
    Check(hasNegative || profile.totalRealSize >= largest);
    return 0;
}
