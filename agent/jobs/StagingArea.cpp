// Settling the staging folder at start-up.
#include "agent/jobs/StagingArea.h"

#include <windows.h>

#include <vector>

#include "common/install/StagingLayout.h"
#include "platform/FolderTree.h"
#include "platform/SwapFilesWin.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"

namespace {

constexpr ULONGLONG kTicksPerDay = 24ull * 60 * 60 * 10000000;

struct JobFolder {
    std::wstring path;
    ULONGLONG lastWrite;
};

std::vector<JobFolder> JobFolders(const std::wstring& stagingFolder) {
    std::vector<JobFolder> folders;
    WIN32_FIND_DATAW data = {};
    HANDLE find = ::FindFirstFileW((stagingFolder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return folders;
    }
    do {
        const std::wstring name = data.cFileName;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && name != L"." && name != L"..") {
            ULARGE_INTEGER time;
            time.LowPart = data.ftLastWriteTime.dwLowDateTime;
            time.HighPart = data.ftLastWriteTime.dwHighDateTime;
            folders.push_back(JobFolder{stagingFolder + L"\\" + name, time.QuadPart});
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return folders;
}

}  // namespace

void RecoverStagingArea(const std::wstring& stagingFolder, int staleDays) {
    FILETIME nowTime;
    ::GetSystemTimeAsFileTime(&nowTime);
    ULARGE_INTEGER now;
    now.LowPart = nowTime.dwLowDateTime;
    now.HighPart = nowTime.dwHighDateTime;
    platform::SwapFilesWin files;
    for (const JobFolder& folder : JobFolders(stagingFolder)) {
        const std::u16string journal =
            platform::FromWide(folder.path + L"\\" + platform::WideCStr(common::kSwapJournalName));
        if (common::RecoverSwap(files, journal) == common::RecoveryResult::Inconsistent) {
            continue;
        }
        platform::DeleteFolderTree(folder.path + L"\\" + platform::WideCStr(common::kBackupFolder));
        if (now.QuadPart > folder.lastWrite && now.QuadPart - folder.lastWrite > kTicksPerDay * staleDays) {
            platform::DeleteFolderTree(folder.path);
        }
    }
}
