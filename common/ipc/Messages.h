// Message numbers the suite's programs exchange, and the kinds of WM_COPYDATA payloads.
#pragma once

#include <cstdint>

namespace common {

// Plain numbers so this header stays free of <windows.h>; kUser and kApp equal WM_USER and WM_APP.
inline constexpr uint32_t kUser = 0x0400;
inline constexpr uint32_t kApp = 0x8000;

// Launcher -> itself.
inline constexpr uint32_t kMsgGoToPage = kUser + 100;       // wParam: 0-based page index
inline constexpr uint32_t kMsgButtonNotice = kApp + 1;      // LOWORD(wParam): control id
inline constexpr uint32_t kMsgRemoveEmptyPage = kApp + 2;

// Between the programs.
inline constexpr uint32_t kMsgOpenStore = kUser + 1000;      // launcher -> agent
inline constexpr uint32_t kMsgJobProgress = kUser + 1001;    // agent -> launcher: wParam percent, lParam id
inline constexpr uint32_t kMsgJobFinished = kUser + 1002;    // agent -> launcher: lParam package id
inline constexpr uint32_t kMsgSettingsSaved = kUser + 1003;  // settings -> agent
inline constexpr uint32_t kMsgShowBackupView = kUser + 1004; // agent -> settings
inline constexpr uint32_t kMsgShowHelpView = kUser + 1005;   // agent -> settings
inline constexpr uint32_t kMsgEnvChanged = kUser + 1007;     // both ways: wParam kind, lParam package id
inline constexpr uint32_t kMsgShutDown = kUser + 1008;       // launcher -> agent
inline constexpr uint32_t kMsgRunPackage = kUser + 1010;     // agent -> launcher: wParam package id

// wParam of kMsgEnvChanged.
inline constexpr uint32_t kEnvPackageRemoved = 1;
inline constexpr uint32_t kEnvRecheckPrograms = 2;
inline constexpr uint32_t kEnvFileEdited = 3;

// Launcher control ids.
inline constexpr uint32_t kIdPackageButton = 110;
inline constexpr uint32_t kIdHomeButton = 111;
inline constexpr uint32_t kIdExitButton = 112;

// Window classes (and the launcher's title) by which the programs find each other.
inline constexpr char16_t kLauncherClass[] = u"TolvApp";
inline constexpr char16_t kAgentClass[] = u"Marlo";
inline constexpr char16_t kSettingsClass[] = u"TolvSetApp";

}  // namespace common
