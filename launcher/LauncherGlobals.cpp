// The launcher's program-wide window handle and folder.
#include "launcher/LauncherGlobals.h"

#include "common/text/PathUtil.h"
#include "platform/ModulePath.h"
#include "platform/WideText.h"

HWND g_mainWindow = nullptr;
std::u16string g_launcherFolder;

std::u16string ComputeLauncherFolder(platform::IMessageBoxes& boxes) {
    std::optional<std::u16string> folder;
    if (auto exe = platform::ModulePath()) {
        folder = common::FolderOf(*exe);
    }
    if (!folder) {
        boxes.Show(nullptr, L"경로를 읽을수 없습니다!", L"Title", MB_OK);
        return std::u16string();
    }
    return *folder;
}
