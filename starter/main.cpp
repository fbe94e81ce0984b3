// Start.exe entry: wires the system message boxes to the starter and runs it.
#include <windows.h>

#include "platform/framework/MessageBoxes.h"
#include "starter/Starter.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    platform::SystemMessageBoxes boxes;
    return starter::RunStarter(boxes);
}
