// Finding top-level windows by class and title, waiting for them, and describing them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "Args.h"

namespace kdrive {

struct WindowQuery {
    std::wstring className;
    std::optional<std::wstring> title;  // exact match; absent matches any title
    bool mustBeVisible = false;
};

// --class and --title of any command that targets a window.
WindowQuery QueryFromArgs(const Args& args);

// The first top-level window in Z order that matches, or nullptr. Message-only windows are never found.
HWND FindTopLevel(const WindowQuery& query);

// Polls until a match exists; nullptr after timeoutMs.
HWND WaitForTopLevel(const WindowQuery& query, DWORD timeoutMs);

// Finds the target or prints why not (stderr); used by every command that needs a window to act on.
HWND FindTargetOrFail(const Args& args);

int RunFind(const Args& args);
// Prints how many top-level windows match (0 included); always succeeds.
int RunCount(const Args& args);
int RunWait(const Args& args);
int RunWaitGone(const Args& args);
int RunInfo(const Args& args);

}  // namespace kdrive
