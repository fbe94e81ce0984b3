// Marlo.exe entry: wires the agent's application object and runs it.
#include <windows.h>

#include "agent/MarloApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    CMarloApp app(instance);
    return app.Main(showCommand);
}
