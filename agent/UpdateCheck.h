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

enum class UpdateCheckResult {
    NotNewer,
    Newer,
    Failed,  // the store's profile could not be fetched; the error has been shown
};

// The check as the store page needs it: whether it failed matters there, as nothing more may be said then.
// Newer when the store's VERSION differs from the drive's (letter case aside) or the drive has no usable profile;
// NotNewer when they are the same, when the store's profile cannot be used, and for a request that is not
// store-shaped (checked before anything goes out). Blocking: one HTTP fetch.
UpdateCheckResult CheckStoreVersion(const UpdateCheckContext& context, const std::u16string& profilePath,
                                    const std::u16string& folderName);

// What the store page asks of the agent for an update request; UI thread.
class IStoreUpdateCheck {
public:
    virtual ~IStoreUpdateCheck() = default;
    virtual UpdateCheckResult CheckStoreUpdate(const std::u16string& profilePath, const std::u16string& folderName) = 0;
};

// The settings program's question: CheckStoreVersion as 1 for Newer and 0 otherwise (a failed fetch included).
int CheckForUpdate(const UpdateCheckContext& context, const std::u16string& profilePath,
                   const std::u16string& folderName);
