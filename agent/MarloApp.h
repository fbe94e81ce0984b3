// The agent's application object: single instance, OLE, the main frame, and the auto-close programs at the end.
#pragma once

#include <windows.h>

#include <memory>

#include "agent/AgentState.h"
#include "agent/MainFrame.h"
#include "agent/ProgramStarter.h"
#include "platform/FileStoreWin.h"
#include "platform/framework/App.h"

// One per process, on the UI thread (see platform::App).
class CMarloApp final : public platform::App {
public:
    explicit CMarloApp(HINSTANCE instance);
    ~CMarloApp() override;

protected:
    // False, ending the process at once, when another agent's window exists, OLE cannot start (after a box) or
    // the main frame cannot be made.
    bool InitInstance(int showCommand) override;
    // Runs the auto-close programs in list order after the loop has ended.
    int ExitInstance(int exitCode) override;

private:
    void MakeTempFolder();

    AgentState m_state;
    platform::FileStoreWin m_store;
    ShellProgramStarter m_starter;
    std::unique_ptr<CMainFrame> m_frame;
    bool m_isOleReady = false;
};
