// Mouse clicks and drags at client coordinates of a program's window, as real input or as posted messages.
#pragma once

#include "Args.h"

namespace kdrive {

int RunClick(const Args& args);
int RunDrag(const Args& args);
// Moves the pointer to screen coordinates --x, --y.
int RunPointer(const Args& args);

}  // namespace kdrive
