// The agent's web view: a child window that fetches a page over HTTP, shows its text and buttons, and hands a
// button's window.external call to the object its host provides. It stands in for the system's browser control,
// which this platform does not have; the store's pages need nothing more.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/browser/PageModel.h"
#include "platform/browser/PageFetch.h"
#include "platform/UniqueHandle.h"
#include "platform/WindowBase.h"

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

// A button of the shown page: its place in client coordinates and its call.
struct WebViewButton {
    RECT rect;
    std::u16string text;
    const common::ExternalCall* call;  // null when the button's onclick is not a call the view makes
};

// The view window. How it works: CreateChild makes the object and its window together, and from then on the
// window owns the object: it is deleted at the window's last message. Hosts keep only the window (a control id)
// and reach the object through CWebBrowser2, which asks the window for it each time (kMsgWebViewGetState), so
// a host never holds a pointer that outlives the window. UI thread only.
class CWebView : public WindowBase {
public:
    // A visible child `controlId` of `parent` at `rect` (parent's client coordinates); null when it could not
    // be made. The returned object is the window's, borrowed until the window is destroyed.
    static CWebView* CreateChild(HINSTANCE instance, HWND parent, int controlId, const RECT& rect);

    void SetHost(IWebViewHost* host) { m_host = host; }
    // Starts fetching `url` on a thread of its own and says the page is loading; the page is shown when it
    // comes, or the "cannot open" notice when it fails or does not come within the bound. False when the fetch
    // could not be started (the notice is then shown at once).
    bool Navigate(const std::wstring& url);
    // True while a fetch runs.
    bool IsLoading() const { return m_fetch != nullptr; }
    // Shows `html` as the page at `url`, as a fetch that brought those bytes does.
    void ShowHtml(const std::wstring& url, std::string_view html);
    const std::wstring& Url() const { return m_url; }
    // What is shown instead of a page ("loading", "cannot open"); empty while a page is shown.
    const std::wstring& Notice() const { return m_notice; }
    // The shown page's Content-Type as its server sent it.
    const std::string& ContentType() const { return m_contentType; }
    const common::PageModel* Page() const { return m_page.get(); }
    std::vector<WebViewButton> Buttons() const;
    // What a click on the button does; false when it makes no call.
    bool Click(size_t buttonIndex);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() override;

private:
    // One drawn piece of the page: a word, a bullet or a button.
    struct LaidOutRun {
        RECT rect;
        std::wstring text;
        bool isBold;
        bool isHeading;
        bool isButton;
        const common::ExternalCall* call;  // into m_page; runs are dropped whenever the page is
    };

    CWebView();

    void OnSize();
    void OnPaint();
    // The whole client area, into any device context (the window's own, or one given by WM_PRINTCLIENT).
    void PaintTo(HDC dc);
    void OnLButtonDown(POINT point);
    void OnLButtonUp(POINT point);
    // True when the key is taken (by the host or the view).
    bool OnKey(UINT message, WPARAM wParam, LPARAM lParam);
    void ShowNotice(std::wstring notice);
    void OnFetched(WPARAM ticket);
    void OnFetchTimeout();
    void ShowFailure(DWORD result);
    void AbandonFetch();

    void Layout();
    HFONT RunFont(bool isHeading, bool isBold) const;
    void PaintButton(HDC dc, size_t index);
    int ButtonAt(POINT point) const;
    // The next (or previous) button after `from`, wrapping; -1 when the page has none.
    int NextButton(int from, bool isBackward) const;
    void Activate(int index);

    IWebViewHost* m_host = nullptr;
    std::wstring m_url;
    std::unique_ptr<common::PageModel> m_page;
    std::wstring m_notice;  // shown instead of a page that could not be fetched, or while it loads
    std::shared_ptr<PageFetch> m_fetch;  // the running fetch; null when none runs
    std::string m_contentType;           // of the shown page, as its server sent it
    WPARAM m_fetchTicket = 0;            // of the running fetch: a late report of an abandoned one is ignored
    std::vector<LaidOutRun> m_runs;
    UniqueFont m_bodyFont;
    UniqueFont m_boldFont;
    UniqueFont m_headingFont;
    int m_pressed = -1;              // index into m_runs of the button under a pressed mouse button
    int m_focused = -1;              // index into m_runs of the button Tab has moved to
    bool m_isOwnedByWindow = false;  // set once the window exists; its last message then deletes the object
};

// The host's handle on the view window (as a browser control's wrapper is): it keeps only the window and asks it
// for the view on every call, so it may be copied and outlive the window (calls then do nothing). UI thread only.
class CWebBrowser2 {
public:
    bool Attach(HWND control);
    HWND hwnd() const { return m_control; }
    void SetHost(IWebViewHost* host);
    // As CWebView::Navigate: the page comes later, on this thread.
    bool Navigate2(const std::wstring& url);
    std::wstring LocationURL() const;
    // The page as read, or null before the first page.
    const common::PageModel* Page() const;
    std::vector<WebViewButton> Buttons() const;
    // What a click on the button does; false when it makes no call.
    bool Click(size_t buttonIndex);

private:
    CWebView* View() const;

    HWND m_control = nullptr;
};

}  // namespace platform
