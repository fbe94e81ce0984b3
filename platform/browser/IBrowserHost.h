// What the hosted browser control asks of the window that holds it, beyond what the page view asks.
#pragma once

#include <windows.h>

#include <string>

#include "platform/browser/WebView.h"

namespace platform {

// Called on the UI thread, from inside the control's calls into its site and its events.
class IBrowserHost : public IWebViewHost {
public:
    // The top-level frame has reached `url` (its document may still be loading).
    virtual void OnNavigateComplete(const std::wstring& url) = 0;
    // The top-level frame's document at `url` is complete; `hasDocument` is false when the control holds none.
    virtual void OnDocumentComplete(const std::wstring& url, bool hasDocument) = 0;
    // The navigation to `url` failed with `status` (an HTTP status or an HRESULT); the control shows its own page.
    virtual void OnNavigateError(const std::wstring& url, long status) = 0;
};

}  // namespace platform
