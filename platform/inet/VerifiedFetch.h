// Fetching a file a profile lists, kept only when it is the file the profile describes.
#pragma once

#include <windows.h>

#include <string>

#include "common/store/FileInfo.h"
#include "platform/inet/StoreTransfer.h"

namespace platform {

// True when the file at `path` has the entry's size and, when the entry promises one, its SHA-256: a file an
// earlier run left behind may then be taken as fetched.
bool IsFileAsListed(const std::wstring& path, const common::CFileInfo& entry);

// FtpFetch into `localPath`, hashing the chunks as they arrive when the entry promises a SHA-256. A file of
// another size or digest is deleted and gives kTransferFileError; `received` then says how many bytes came.
// The job's sink hears of every chunk as with FtpFetch.
DWORD FtpFetchAsListed(const std::wstring& url, const std::wstring& localPath, const common::CFileInfo& entry,
                       const TransferJob& job, int64_t& received);

}  // namespace platform
