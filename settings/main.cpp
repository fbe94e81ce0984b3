// TolvSet.exe entry: the suite's settings program.
#include <windows.h>

#include "settings/TolvSetApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    TolvSetApp app(instance);
    return app.Main(showCommand);
}
