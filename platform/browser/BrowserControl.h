// The system's browser control (CLSID_WebBrowser) hosted in a child window of our own.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

#include <memory>
#include <string>

#include "platform/WindowBase.h"
#include "platform/browser/BrowserEvents.h"
#include "platform/browser/BrowserSite.h"
#include "platform/browser/IBrowserHost.h"
#include "platform/dom/ComPtr.h"

namespace platform {

inline constexpr wchar_t kBrowserHostClass[] = L"KelvoBrowserHost";

// How it works: Create makes a child window (the control id the dialog knows), creates the control, gives it
// our site, activates it in place inside that window and advises our event sink. The control's own windows sit
// inside ours; WM_SIZE keeps the control fitted. The control lets go of the site and sink when our window is
// destroyed or the object is deleted, whichever comes first: it is closed, the sink unadvised and both are
// detached from the host, so a late call from the control reaches nothing of ours.
//
// UI thread only, in a single-threaded apartment (OleInitialize). The host is borrowed and must outlive this
// object's window.
class BrowserControl final : public WindowBase {
public:
    // Null when the control could not be made; `failure` (optional) then says why.
    static std::unique_ptr<BrowserControl> Create(HINSTANCE instance, HWND parent, int controlId, const RECT& rect,
                                                  IBrowserHost* host, HRESULT* failure = nullptr);
    ~BrowserControl() override;
    // Whether an HTML document can be made in this process: S_OK when it can, otherwise why not. The control
    // shows every page, its own error pages too, in such a document, so without one it shows nothing at all
    // (Wine without its HTML engine is such a system). Made and released at once; needs OLE on the calling
    // thread, as Create does.
    static HRESULT ProbeHtmlDocument();

    // Starts a navigation; the events tell how it went.
    HRESULT Navigate(const std::wstring& url);
    // True when the control holds a document (a page or its own error page).
    bool HasDocument() const;
    std::wstring LocationUrl() const;
    // Gives a key message meant for the control's windows to the control first (its accelerators, Tab inside
    // the page, and our site's key filter). True when the control took it.
    bool TranslateKey(MSG& message);
    // The site as the control holds it, with a reference for the caller; empty once closed.
    ComPtr<IOleClientSite> Site() const;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    BrowserControl() = default;
    HRESULT Embed(IBrowserHost* host);
    void FitControl();
    void Close();

    ComPtr<IOleObject> m_object;
    ComPtr<IWebBrowser2> m_browser;
    BrowserSite* m_site = nullptr;      // one reference of ours
    BrowserEvents* m_events = nullptr;  // one reference of ours
    DWORD m_eventsCookie = 0;
};

}  // namespace platform
