// KelvoUp.exe entry: brings the suite up to date when the user wants it, then starts the agent.
#include <windows.h>

#include "updater/KelvoUpApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    CKelvoUpApp app(instance);
    return app.Main(showCommand);
}
