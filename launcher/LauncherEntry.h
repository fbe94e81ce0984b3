// The launcher's program entry: never runs without the agent, and runs once.
#pragma once

#include <windows.h>

// Starts the agent and returns 0 when no agent window exists; otherwise creates the launcher window and runs
// its loop (1), or returns 0 when another launcher window already exists (it is brought forward instead).
int RunLauncher(HINSTANCE instance, int showCommand);
