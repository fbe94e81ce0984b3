// A stand-in for a peer program (usually the agent): a hidden window of the peer's class that logs what it gets.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "Args.h"

namespace kdrive {

struct PeerOptions {
    std::wstring className;
    std::wstring title;
    std::wstring logPath;
    std::wstring readyPath;       // empty: no ready file
    std::optional<UINT> exitOn;   // end after logging this message
    LRESULT reply = 0;            // returned for messages >= WM_USER; WM_COPYDATA always gets TRUE
    std::optional<UINT> crashOn;  // fault on purpose when this message arrives: checks that crashes are seen
};

// Runs the window until WM_CLOSE or the exit-on message; returns the process exit code.
int RunPeer(const PeerOptions& options);
int RunPeerCommand(const Args& args);

// Appends one line (UTF-8, "\n") to the file, opening and closing it each time so readers always see whole lines.
bool AppendLine(const std::wstring& path, const std::wstring& line);

}  // namespace kdrive
