// Pressing dialog and message-box buttons, and reading their static texts.
#pragma once

#include "Args.h"

namespace kdrive {

int RunPress(const Args& args);
int RunDialogText(const Args& args);

}  // namespace kdrive
