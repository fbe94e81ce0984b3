// The agent's web view: a child window that fetches a page over HTTP, shows its text and buttons, and hands a
// button's window.external call to the object its host provides. It stands in for the system's browser control,
// which this platform does not have; the store's pages need nothing more.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "common/browser/PageModel.h"

namespace platform {

// What the view asks of the dialog that hosts it.
class IWebViewHost {
public:
    virtual ~IWebViewHost() = default;
    // The object the page's buttons call (window.external); borrowed, may be null.
    virtual IDispatch* External() = 0;
    // True when the host takes the key message (the view then does nothing with it).
    virtual bool FilterKey(const MSG& message) = 0;
};

inline constexpr wchar_t kWebViewClass[] = L"KelvoWebView";

// Registers the view's window class once per process; dialog templates then name it as a control class.
bool RegisterWebViewClass(HINSTANCE instance);

// A button of the shown page: its place in client coordinates and its call.
struct WebViewButton {
    RECT rect;
    std::u16string text;
    const common::ExternalCall* call;  // null when the button's onclick is not a call the view makes
};

// The host's handle on the view window (as a browser control's wrapper is). How it works: the window owns its
// state (created with the window, freed with it); this wrapper only sends it messages, so it may be copied and
// outlive the window. UI thread only.
class CWebBrowser2 {
public:
    bool Attach(HWND control);
    HWND hwnd() const { return m_control; }
    void SetHost(IWebViewHost* host);
    // Fetches `url` (HTTP, synchronously) and shows the page; false when nothing came (the view then says so).
    bool Navigate2(const std::wstring& url);
    std::wstring LocationURL() const;
    // The page as read, or null before the first page.
    const common::PageModel* Page() const;
    std::vector<WebViewButton> Buttons() const;
    // What a click on the button does; false when it makes no call.
    bool Click(size_t buttonIndex);

private:
    HWND m_control = nullptr;
};

}  // namespace platform
