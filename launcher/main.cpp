// Tolv.exe entry: wires the launcher's application object and runs it.
#include <windows.h>

#include "launcher/TolvApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    CTolvApp app(instance);
    return app.Main(showCommand);
}
