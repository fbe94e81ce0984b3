// Keyboard input for hotkey tests: a key combination as real input, and whether a combination is free.
#pragma once

#include "Args.h"

namespace kdrive {

// keys --vk N [--alt] [--ctrl] [--shift] [--win]: modifiers down, key down and up, modifiers up, as one SendInput.
int RunKeys(const Args& args);

// hotkey-free --vk N [modifiers]: prints "free" when this process can register the combination (it is released
// at once) and "held" when another window holds it.
int RunHotKeyFree(const Args& args);

// type --class C [--title T] --text TEXT: posts one WM_CHAR per UTF-16 unit to the window, as typing into a
// field the program draws itself (layout-independent, unlike key presses).
int RunType(const Args& args);

// keylog --log PATH --ready PATH [--timeout-ms N]: appends "down N" or "up N" (the virtual key) to the log for
// every key event of the session, whichever program made it, until N ms have passed (default 60000) or it is
// ended. The ready file is written once the hook is in place.
int RunKeyLog(const Args& args);

}  // namespace kdrive
