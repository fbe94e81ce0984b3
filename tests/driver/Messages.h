// Sending and posting window messages, and WM_COPYDATA with a file's bytes, to a program under test.
#pragma once

#include "Args.h"

namespace kdrive {

int RunSend(const Args& args);
int RunPost(const Args& args);
int RunCopyData(const Args& args);

}  // namespace kdrive
