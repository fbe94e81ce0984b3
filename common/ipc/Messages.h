// Every window message number of the suite: those between the programs, then each program's own. A number is
// defined here once and nowhere else; the build writes the same table for the test scripts.
#pragma once

#include <cstdint>

namespace common {

// Plain numbers so this header stays free of <windows.h>; kUser and kApp equal WM_USER and WM_APP.
inline constexpr uint32_t kUser = 0x0400;
inline constexpr uint32_t kApp = 0x8000;

// Between the programs. Their numbers are fixed: every program of the suite, old or new, sends these.
inline constexpr uint32_t kMsgOpenStore = kUser + 1000;       // launcher -> agent
inline constexpr uint32_t kMsgJobProgress = kUser + 1001;     // agent -> launcher: wParam percent, lParam id
inline constexpr uint32_t kMsgJobFinished = kUser + 1002;     // agent -> launcher: lParam package id
inline constexpr uint32_t kMsgSettingsSaved = kUser + 1003;   // settings -> agent
inline constexpr uint32_t kMsgShowBackupView = kUser + 1004;  // agent -> settings
inline constexpr uint32_t kMsgShowHelpView = kUser + 1005;    // agent -> settings
inline constexpr uint32_t kMsgEnvChanged = kUser + 1007;      // both ways: wParam kind, lParam package id
inline constexpr uint32_t kMsgShutDown = kUser + 1008;        // launcher -> agent
inline constexpr uint32_t kMsgRunPackage = kUser + 1010;      // agent -> launcher: wParam package id

// wParam of kMsgEnvChanged.
inline constexpr uint32_t kEnvPackageRemoved = 1;
inline constexpr uint32_t kEnvRecheckPrograms = 2;
inline constexpr uint32_t kEnvFileEdited = 3;

// Within one program. The numbers that have always been these keep them; the others sit in one WM_APP block per
// program, so that no two messages of a program can share a number.

// Launcher -> itself.
inline constexpr uint32_t kMsgGoToPage = kUser + 100;   // wParam: 0-based page index
inline constexpr uint32_t kMsgButtonNotice = kApp + 1;  // LOWORD(wParam): control id
inline constexpr uint32_t kMsgRemoveEmptyPage = kApp + 2;

// Launcher control ids, carried by kMsgButtonNotice.
inline constexpr uint32_t kIdPackageButton = 110;
inline constexpr uint32_t kIdHomeButton = 111;
inline constexpr uint32_t kIdExitButton = 112;

// Agent -> its main frame: the tray icon, and the store browser in the same process.
inline constexpr uint32_t kMsgTrayNotify = kUser + 1;            // wParam icon id, lParam mouse message
inline constexpr uint32_t kMsgBrowserUpdateQueued = kUser + 2;   // wParam package index
inline constexpr uint32_t kMsgBrowserInstallQueued = kUser + 3;  // wParam package index
inline constexpr uint32_t kMsgBrowserClosed = kUser + 4;
inline constexpr uint32_t kMsgCheckForUpdate = kUser + 1006;  // ignored: the store page calls the check directly
inline constexpr uint32_t kAgentApp = kApp + 0x100;
inline constexpr uint32_t kMsgWorkerShowLauncher = kAgentApp + 0;  // a job starts: show (or start) the launcher
inline constexpr uint32_t kMsgWebViewGetState = kAgentApp + 1;     // the store page view hands out its state
inline constexpr uint32_t kMsgWorkerReport = kAgentApp + 2;        // the package worker has a report to show
inline constexpr uint32_t kMsgWebViewFetched = kAgentApp + 3;      // the page view's fetch ended: wParam ticket

// Updater worker -> its dialog.
inline constexpr uint32_t kMsgUpdaterStepDone = kUser + 1;  // wParam: the step finished, 0 to 2
inline constexpr uint32_t kMsgUpdaterPercent = kUser + 2;   // wParam: percent for the progress bar
inline constexpr uint32_t kUpdaterApp = kApp + 0x200;
inline constexpr uint32_t kMsgUpdaterWorkerDone = kUpdaterApp + 0;
inline constexpr uint32_t kMsgUpdaterReport = kUpdaterApp + 1;  // the worker has a report to show or a question

}  // namespace common
