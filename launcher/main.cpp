// Tolv.exe entry: wires the launcher object and runs it.
#include <windows.h>

#include "launcher/LauncherEntry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    return RunLauncher(instance, showCommand);
}
