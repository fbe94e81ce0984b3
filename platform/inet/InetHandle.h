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

// The HTTP status of a sent request; 0 when it cannot be read.
inline DWORD HttpStatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
        return 0;
    }
    return status;
}

}  // namespace platform
