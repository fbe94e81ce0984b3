// The update check: does the store hold another version of a package than the drive?
#pragma once

#include <string>

#include "platform/framework/IMessageBoxes.h"

struct UpdateCheckContext {
    std::wstring moduleFolder;  // its first unit is the drive of "Portable Programs"
    std::wstring tempFolder;
    std::wstring httpHost;  // host[:port] of the store's web server
    platform::IMessageBoxes& boxes;
};

// 1 when the store's VERSION differs from the drive's (letter case aside) or the drive has no usable profile;
// 0 when they are the same, when the store's profile cannot be fetched (the error is shown) or used, and for a
// request that is not store-shaped (checked before anything goes out). Blocking: one HTTP fetch.
int CheckForUpdate(const UpdateCheckContext& context, const std::u16string& profilePath,
                   const std::u16string& folderName);
