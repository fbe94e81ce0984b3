// Pressing dialog and message-box buttons, reading their static texts, and listing their controls.
#pragma once

#include "Args.h"

namespace kdrive {

int RunPress(const Args& args);
int RunDialogText(const Args& args);
int RunControlText(const Args& args);
// One line per descendant window: handle, parent, id, class, visibility and screen rectangle.
int RunChildren(const Args& args);

}  // namespace kdrive
