// Sending and posting window messages, WM_COPYDATA with a file's bytes and volume notices, to a program under
// test.
#pragma once

#include "Args.h"

namespace kdrive {

int RunSend(const Args& args);
int RunPost(const Args& args);
int RunCopyData(const Args& args);
int RunDeviceChange(const Args& args);

}  // namespace kdrive
