// Holding a file open, as another program on the machine would, so that it cannot be replaced meanwhile.
#pragma once

#include "Args.h"

namespace kdrive {

int RunHold(const Args& args);

}  // namespace kdrive
