// The update check against the store.
#include "agent/UpdateCheck.h"

#include "common/agent/UpdateCheck.h"
#include "common/ipc/SuiteNames.h"
#include "platform/FolderTree.h"
#include "platform/WideText.h"
#include "platform/dom/ProfileLoader.h"
#include "platform/inet/StoreNotice.h"
#include "platform/inet/StoreTransfer.h"

UpdateCheckResult CheckStoreVersion(const UpdateCheckContext& context, const std::u16string& profilePath,
                                    const std::u16string& folderName) {
    if (context.moduleFolder.empty() || !common::IsStoreProfilePath(profilePath)) {
        return UpdateCheckResult::NotNewer;
    }
    std::optional<std::u16string> local =
        common::UpdateCheckDownloadPath(platform::FromWide(context.tempFolder), folderName);
    std::optional<std::u16string> onDrive =
        common::DriveProfilePath(static_cast<char16_t>(context.moduleFolder[0]), folderName);
    if (!local || !onDrive) {
        return UpdateCheckResult::NotNewer;
    }
    const std::wstring localPath = platform::ToWide(*local);
    platform::CreateFolderPath(localPath.substr(0, localPath.rfind(L'\\')));
    const std::wstring url = L"HTTP://" + context.httpHost + L"/application" + platform::ToWide(profilePath);
    int64_t counter = 0;
    if (DWORD code = platform::HttpFetch(url, localPath, nullptr, counter)) {
        platform::ShowSystemError(code, context.boxes, platform::WideCStr(common::kAgentTitle));
        return UpdateCheckResult::Failed;
    }
    std::optional<std::u16string> storeVersion = platform::LoadProfileVersion(localPath);
    if (!storeVersion) {
        return UpdateCheckResult::NotNewer;
    }
    return common::IsUpdateAvailable(*storeVersion, platform::LoadProfileVersion(platform::ToWide(*onDrive)))
               ? UpdateCheckResult::Newer
               : UpdateCheckResult::NotNewer;
}

int CheckForUpdate(const UpdateCheckContext& context, const std::u16string& profilePath,
                   const std::u16string& folderName) {
    return CheckStoreVersion(context, profilePath, folderName) == UpdateCheckResult::Newer ? 1 : 0;
}
