// Screenshots of the whole screen or of one window's rectangle, saved as PNG.
#pragma once

#include "Args.h"

namespace kdrive {

int RunShot(const Args& args);

}  // namespace kdrive
