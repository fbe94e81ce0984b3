// Removing a folder with everything in it.
#pragma once

#include <string>

namespace platform {

// Creates `folder` and every missing folder above it (below the drive root); existing ones are fine.
void CreateFolderPath(const std::wstring& folder);

// Deletes `folder` and its contents without the recycle bin and without asking; a missing folder is no error.
// What could not be deleted (a file in use) stays; the result says whether the folder is gone.
bool DeleteFolderTree(const std::wstring& folder);

}  // namespace platform
