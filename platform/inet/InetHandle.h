// The owner of WinINet handles.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "platform/UniqueHandle.h"

namespace platform {

struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle h) { ::InternetCloseHandle(h); }
};

using UniqueInternet = UniqueHandle<InternetHandleTraits>;

}  // namespace platform
