// The handle owners kdrive uses, taken from the platform layer's header-only owners and guards.
#pragma once

#include "platform/GdiGuards.h"
#include "platform/UniqueHandle.h"

namespace kdrive {

using platform::SelectGuard;
using platform::UniqueBitmap;
using platform::UniqueFileHandle;
using platform::UniqueMemoryDc;
using platform::UniqueWindow;
using platform::WindowDc;
using UniqueFile = platform::UniqueFileHandle;

}  // namespace kdrive
