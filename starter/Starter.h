// Start.exe, the drive-root starter that autorun.inf names: it hands over to the suite in <root>\Kelvo.
#pragma once

#include <string>

#include "platform/framework/IMessageBoxes.h"

namespace starter {

// The suite folder for a starter whose own folder is `starterFolder` (the drive root, "T:" or "T:\").
std::wstring SuiteFolderFor(const std::wstring& starterFolder);

// Starts the updater when it is there (it brings the suite up to date and then starts the agent itself), else the
// agent. When neither starts, tells the user which folder to check. Returns the process exit code: 0 when a
// program was started, 1 otherwise.
int RunStarter(platform::IMessageBoxes& boxes);

}  // namespace starter
