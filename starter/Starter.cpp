// Drive-root starter: pick the suite's first program and start it.
#include "starter/Starter.h"

#include <windows.h>
#include <shellapi.h>

#include "common/ipc/SuiteNames.h"
#include "common/text/PathUtil.h"
#include "platform/ModulePath.h"
#include "platform/WideText.h"
#include "platform/framework/MessageBoxes.h"

namespace starter {

namespace {

bool IsFile(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The shell is asked only for a file that exists: for a missing one it may show its own English error box.
bool StartFromSuite(const std::wstring& suiteFolder, const wchar_t* fileName) {
    std::wstring path =
        platform::ToWide(common::JoinPath(platform::FromWide(suiteFolder), platform::FromWide(fileName)));
    if (!IsFile(path)) {
        return false;
    }
    HINSTANCE result = ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, suiteFolder.c_str(), SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

std::wstring StarterFolder() {
    if (std::optional<std::u16string> path = platform::ModulePath()) {
        if (std::optional<std::u16string> folder = common::FolderOf(*path)) {
            return platform::ToWide(*folder);
        }
    }
    return std::wstring();
}

}  // namespace

std::wstring SuiteFolderFor(const std::wstring& starterFolder) {
    return platform::ToWide(common::JoinPath(platform::FromWide(starterFolder), common::kSuiteFolder));
}

int RunStarter(platform::IMessageBoxes& boxes) {
    const std::wstring suiteFolder = SuiteFolderFor(StarterFolder());
    // A failed updater start still leaves the suite usable through the agent.
    if (StartFromSuite(suiteFolder, platform::WideCStr(common::kUpdaterProgram)) ||
        StartFromSuite(suiteFolder, platform::WideCStr(common::kAgentProgram))) {
        return 0;
    }
    platform::ShowInfo(boxes, nullptr,
                       L"Kelvo를 시작할 수 없습니다.\n" + suiteFolder + L" 폴더에 " +
                           platform::WideCStr(common::kAgentProgram) + L" 파일이 있는지 확인하십시오.");
    return 1;
}

}  // namespace starter
