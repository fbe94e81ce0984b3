// Removing a folder with everything in it.
#pragma once

#include <string>

namespace platform {

// Deletes `folder` and its contents without the recycle bin and without asking; a missing folder is no error.
// What could not be deleted stays; nothing is reported.
void DeleteFolderTree(const std::wstring& folder);

}  // namespace platform
