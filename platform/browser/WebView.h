// The agent's own page view: a child window that fetches a store page over HTTP, runs it through the page engine
// (its scripts included) and shows it: text, links, tables, buttons and fields, scrolled vertically. A page's
// window.external calls go to the object its host provides. It stands in for the system's browser control where
// that control cannot show pages.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/page/PageSession.h"
#include "platform/CharsetDecoderWin.h"
#include "platform/WindowBase.h"
#include "platform/browser/GdiTextMeasure.h"
#include "platform/browser/PageFetch.h"

namespace platform {

// What the view asks of the dialog that hosts it.
class IWebViewHost {
public:
    virtual ~IWebViewHost() = default;
    // The object the page's scripts call (window.external); borrowed, may be null.
    virtual IDispatch* External() = 0;
    // True when the host takes the key message (the view then does nothing with it).
    virtual bool FilterKey(const MSG& message) = 0;
    // A page's alert (or a script's error, for the browser control), in a box owned by `owner`.
    virtual void ShowPageMessage(HWND owner, const std::wstring& text) = 0;
    // A page's confirm: the same box with OK and Cancel; true for OK.
    virtual bool AskPageQuestion(HWND owner, const std::wstring& text) = 0;
};

inline constexpr wchar_t kWebViewClass[] = L"KelvoWebView";

// A button of the shown page: its place in client coordinates (as scrolled now) and its label.
struct WebViewButton {
    RECT rect;
    std::u16string text;
    size_t focusIndex;  // the button's place in the page's Tab order
};

// The view window. How it works: CreateChild makes the object and its window together, and from then on the
// window owns the object: it is deleted at the window's last message, or, when that message comes while the
// page's script runs (a call the page made closed the window), once the script has returned. Hosts keep only the
// window (a control id) and reach the object through CWebBrowser2, which asks the window for it each time
// (kMsgWebViewGetState), so a host never holds a pointer that outlives the window. UI thread only.
//
// Keys: Tab and Shift+Tab walk the page's links, buttons and fields and scroll the one reached into view; Enter
// and Space press it; PgUp/PgDn/Home/End and the arrows scroll. In a text field typed characters are added at
// its end and Backspace takes the last one away: the view edits fields itself, before the host's key filter
// (which keeps Backspace from the page) sees the key.
class CWebView : public WindowBase, private common::IPageHost {
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
    // Shows `bytes` as the page at `url`, as a fetch that brought them with `contentType` does.
    void ShowHtml(const std::wstring& url, std::string_view bytes, std::string_view contentType = "text/html");
    const std::wstring& Url() const { return m_url; }
    // What is shown instead of a page ("loading", "cannot open"); empty while a page is shown.
    const std::wstring& Notice() const { return m_notice; }
    // The shown page's Content-Type as its server sent it.
    const std::string& ContentType() const { return m_contentType; }
    // The shown page, or null while a notice is shown.
    const common::PageSession* Page() const { return m_session.get(); }
    std::vector<WebViewButton> Buttons() const;
    // Presses the page's button `buttonIndex` (in the order of Buttons()) as a click does; false when there is
    // no such button.
    bool Click(size_t buttonIndex);
    // How far the page is scrolled down, in pixels, and how far it can be.
    int ScrollTop() const { return m_scrollTop; }
    int MaxScrollTop() const;
    // The focusable the keyboard is on, -1 when none.
    int FocusedItem() const { return m_focused; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() override;

private:
    CWebView() = default;

    // common::IPageHost
    std::optional<common::ExternalValue> CallExternal(std::u16string_view name,
                                                      const std::vector<common::ExternalValue>& arguments) override;
    void Alert(std::u16string_view text) override;
    bool Confirm(std::u16string_view text) override;

    void OnPaint();
    // The whole client area, into any device context (the window's own, or one given by WM_PRINTCLIENT).
    void PaintTo(HDC dc);
    void PaintBox(HDC dc, const common::PageBox& box, const RECT& rect);
    void OnLButtonDown(POINT point);
    void OnLButtonUp(POINT point);
    // True when the key is taken (by the view or the host).
    bool OnKey(UINT message, WPARAM wParam, LPARAM lParam);
    bool EditField(UINT message, WPARAM wParam);
    void ShowNotice(std::wstring notice);
    void OnFetched(WPARAM ticket);
    void OnFetchTimeout();
    void ShowFailure(DWORD result);
    void AbandonFetch();

    // Calls into the page (a press, a field's new text, its timers) go through here: one at a time, and what
    // the call changed (a navigation, a new layout, timers) is taken up afterwards. False when the window went
    // away during the call; the object is then gone too and the caller must return at once.
    template <typename Work>
    bool RunPage(Work&& work);
    void AfterPageWork();
    // Lets the shown page go (and what was laid out, scrolled and focused on it).
    void DropSession();
    void Relayout();
    // Sets the scroll bar and has the whole window, the bar with it, drawn at the next paint.
    void SetScrollBarAndRedraw(const SCROLLINFO& info);
    void SchedulePageTimers();
    void OnPageTimer();

    // Scrolling.
    int ViewHeight() const;
    void ScrollTo(int top);
    void OnVScroll(WORD request);
    void ScrollIntoView(int focusIndex);

    // The box's place in client coordinates, as scrolled now.
    RECT ClientRectOf(const common::PageBox& box) const;
    int FocusableAt(POINT point) const;
    void Press(int focusIndex);

    IWebViewHost* m_host = nullptr;
    std::wstring m_url;
    std::unique_ptr<common::PageSession> m_session;
    std::vector<std::unique_ptr<common::PageSession>> m_retiredSessions;  // see DropSession
    common::PageLayout m_layout;  // of m_session at the view's width; empty while a notice is shown
    GdiTextMeasure m_measure;
    CharsetDecoderWin m_decoder;
    std::wstring m_notice;               // shown instead of a page that could not be fetched, or while it loads
    std::shared_ptr<PageFetch> m_fetch;  // the running fetch; null when none runs
    std::string m_contentType;           // of the shown page, as its server sent it
    WPARAM m_fetchTicket = 0;            // of the running fetch: a late report of an abandoned one is ignored
    int m_scrollTop = 0;
    int m_pressed = -1;              // the focusable under a pressed mouse button
    int m_focused = -1;              // the focusable the keyboard is on
    int m_pageDepth = 0;             // calls into the page under way (a page's message box lets messages in)
    ULONGLONG m_timerClock = 0;      // when the page's timers were last told the time
    bool m_isOwnedByWindow = false;  // set once the window exists; its last message then deletes the object
    bool m_isDeletePending = false;  // the last message came during a call into the page
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
    // The page as shown, or null before the first page.
    const common::PageSession* Page() const;
    std::vector<WebViewButton> Buttons() const;
    // As CWebView::Click.
    bool Click(size_t buttonIndex);

private:
    CWebView* View() const;

    HWND m_control = nullptr;
};

}  // namespace platform
