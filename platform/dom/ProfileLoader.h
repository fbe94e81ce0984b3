// Reading a package profile file through the DOM wrapper into the portable profile model.
#pragma once

#include <optional>
#include <string>

#include "common/store/Profile.h"
#include "common/store/ProfileItem.h"
#include "platform/dom/XmlItem.h"

namespace platform {

// The item tree as the portable reader sees it: at most `depth` levels and `maxChildren` children per item,
// so a hostile file list costs no more than the reader will accept.
common::ProfileItem ProfileItemFromDom(const CXmlItem& item, size_t depth = common::kProfileTreeDepth,
                                       size_t maxChildren = common::kMaxFileEntries + 1);

// HEAD/VERSION of the profile at `path`; nullopt when the file cannot be loaded or has no non-empty VERSION.
std::optional<std::u16string> LoadProfileVersion(const std::wstring& path);

// Loads `path` with a fresh DOM wrapper and reads it. NoHead when the file cannot be loaded or walked (the
// caller shows the same failure text for every refusal).
common::ProfileError LoadProfileFile(const std::wstring& path, common::PackageProfile& profile,
                                     common::ProfileProblem* problem = nullptr);

}  // namespace platform
