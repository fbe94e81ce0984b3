// The agent's one door for starting programs, so tests can record starts instead of making them.
#pragma once

#include <windows.h>

#include <string>

#include "common/agent/ProgramList.h"

class IProgramStarter {
public:
    virtual ~IProgramStarter() = default;
    // Starts `file` with the verb "open"; empty params or folder mean none. True when it started. Failures are
    // not reported to the user.
    virtual bool Start(HWND owner, const std::wstring& file, const std::wstring& params, const std::wstring& folder,
                       int show) = 0;
};

class ShellProgramStarter final : public IProgramStarter {
public:
    bool Start(HWND owner, const std::wstring& file, const std::wstring& params, const std::wstring& folder,
               int show) override;
};

// Starts every path of `list` in order (no owner, parameters or folder; SW_SHOW), pausing `pauseMs` after each
// so the programs come up in list order. A path that fails to start is skipped.
void StartAll(IProgramStarter& starter, const common::ProgramList& list, DWORD pauseMs);
