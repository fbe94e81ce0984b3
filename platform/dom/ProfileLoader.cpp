// Profiles from disk: DOM wrapper, item tree, portable reader.
#include "platform/dom/ProfileLoader.h"

#include "platform/WideText.h"
#include "platform/dom/CEXml.h"

namespace platform {

common::ProfileItem ProfileItemFromDom(const CXmlItem& item, size_t depth, size_t maxChildren) {
    common::ProfileItem result;
    result.name = FromWide(item.GetName());
    result.value = FromWide(item.GetValue());
    if (depth == 0) {
        return result;
    }
    size_t children = static_cast<size_t>(item.ChildCount());
    size_t count = children < maxChildren ? children : maxChildren;
    result.children.reserve(count);
    for (size_t index = 0; index < count; ++index) {
        if (const CXmlItem* child = item.FindChild(L"", static_cast<int>(index))) {
            result.children.push_back(ProfileItemFromDom(*child, depth - 1, maxChildren));
        }
    }
    return result;
}

namespace {

// Profiles are read without the wrapper's own boxes: a walk failure is the caller's to report.
bool LoadTree(const std::wstring& path, CXmlItem& root) {
    CCEXML document;
    return document.Load(path) && document.ToItemTree(root);
}

}  // namespace

std::optional<std::u16string> LoadProfileVersion(const std::wstring& path) {
    CXmlItem root;
    if (!LoadTree(path, root)) {
        return std::nullopt;
    }
    return common::ReadProfileVersion(ProfileItemFromDom(root));
}

common::ProfileError LoadProfileFile(const std::wstring& path, common::PackageProfile& profile,
                                     common::ProfileProblem* problem) {
    CXmlItem root;
    if (!LoadTree(path, root)) {
        if (problem != nullptr) {
            *problem = common::ProfileProblem{common::ProfileError::NoHead, common::NameError::None, 0};
        }
        return common::ProfileError::NoHead;
    }
    return common::ReadProfile(ProfileItemFromDom(root), profile, problem);
}

}  // namespace platform
