// Swap file operations through the Windows file API.
#include "platform/SwapFilesWin.h"

#include "common/text/PathUtil.h"
#include "platform/FolderTree.h"
#include "platform/WideText.h"

namespace platform {

bool SwapFilesWin::Failed() {
    m_lastError = ::GetLastError();
    if (m_lastError == 0) {
        m_lastError = ERROR_WRITE_FAULT;
    }
    return false;
}

bool SwapFilesWin::Exists(const std::u16string& path) {
    return ::GetFileAttributesW(ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SwapFilesWin::Move(const std::u16string& from, const std::u16string& to) {
    return ::MoveFileExW(ToWide(from).c_str(), ToWide(to).c_str(), MOVEFILE_WRITE_THROUGH) != FALSE || Failed();
}

bool SwapFilesWin::MakeFoldersFor(const std::u16string& file) {
    std::optional<std::u16string> folder = common::FolderOf(file);
    if (!folder) {
        return true;
    }
    CreateFolderPath(ToWide(*folder));
    const DWORD attributes = ::GetFileAttributesW(ToWide(*folder).c_str());
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) || Failed();
}

bool SwapFilesWin::RemoveFile(const std::u16string& path) {
    return ::DeleteFileW(ToWide(path).c_str()) != FALSE || Failed();
}

bool SwapFilesWin::RemoveTree(const std::u16string& folder) {
    DeleteFolderTree(ToWide(folder));
    return !Exists(folder) || Failed();
}

bool SwapFilesWin::WriteJournal(const std::u16string& path, const std::vector<uint8_t>& bytes) {
    return (MakeFoldersFor(path) && m_store.WriteReplace(path, bytes)) || Failed();
}

std::optional<std::vector<uint8_t>> SwapFilesWin::ReadJournal(const std::u16string& path) {
    return m_store.ReadAll(path);
}

}  // namespace platform
