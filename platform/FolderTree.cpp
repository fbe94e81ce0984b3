// Removing a folder tree through the shell.
#include "platform/FolderTree.h"

#include <windows.h>
#include <shellapi.h>

namespace platform {

void CreateFolderPath(const std::wstring& folder) {
    for (size_t at = folder.find(L'\\', 3); at != std::wstring::npos; at = folder.find(L'\\', at + 1)) {
        ::CreateDirectoryW(folder.substr(0, at).c_str(), nullptr);
    }
    ::CreateDirectoryW(folder.c_str(), nullptr);
}

bool DeleteFolderTree(const std::wstring& folder) {
    if (folder.empty()) {
        return true;
    }
    std::wstring from = folder;
    from.push_back(L'\0');  // the list ends with an empty entry
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    ::SHFileOperationW(&operation);
    return ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace platform
