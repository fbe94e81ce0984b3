// The swap's file layer on Windows: renames on one volume, written through.
#pragma once

#include <windows.h>

#include "common/install/FileSwap.h"
#include "platform/FileStoreWin.h"

namespace platform {

// Calling thread: one at a time. LastError() is the Windows error of the last call that failed, for the user.
class SwapFilesWin final : public common::ISwapFiles {
public:
    bool Exists(const std::u16string& path) override;
    // MoveFileExW with MOVEFILE_WRITE_THROUGH and without replacing: a rename, never a copy.
    bool Move(const std::u16string& from, const std::u16string& to) override;
    bool MakeFoldersFor(const std::u16string& file) override;
    bool RemoveFile(const std::u16string& path) override;
    bool RemoveTree(const std::u16string& folder) override;
    bool WriteJournal(const std::u16string& path, const std::vector<uint8_t>& bytes) override;
    std::optional<std::vector<uint8_t>> ReadJournal(const std::u16string& path) override;

    DWORD LastError() const { return m_lastError; }

private:
    bool Failed();

    FileStoreWin m_store;
    DWORD m_lastError = 0;
};

}  // namespace platform
