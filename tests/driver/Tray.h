// The notification area as a program under test sees it: whether its icon is there, taking it away as a
// restarted shell would, and the number of a registered message.
#pragma once

#include "Args.h"

namespace kdrive {

// tray --class C [--title T] --id N [--remove]: prints "shown" when the window's icon N is in the notification
// area and "absent" when it is not; with --remove it first deletes that icon (as a shell that restarts loses
// every icon), then prints the state.
int RunTray(const Args& args);

// registered --name NAME: prints the number RegisterWindowMessage gives NAME (the same in every process).
int RunRegistered(const Args& args);

}  // namespace kdrive
