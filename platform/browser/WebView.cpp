// The web view: fetch, the page engine's session, painting, scrolling, the mouse and the keys.
#include "platform/browser/WebView.h"

#include <windowsx.h>
#include <wininet.h>

#include <algorithm>
#include <deque>
#include <optional>

#include "common/ipc/Messages.h"
#include "platform/GdiGuards.h"
#include "platform/WideText.h"
#include "platform/dom/UniqueVariant.h"

namespace platform {

namespace {

constexpr int kMargin = 12;
constexpr int kScrollLine = 20;  // pixels an arrow key, a scroll-bar arrow or a wheel notch's line moves
constexpr COLORREF kTextColour = RGB(30, 30, 30);
constexpr COLORREF kHeadingColour = RGB(25, 60, 150);
constexpr COLORREF kLinkColour = RGB(0, 51, 204);
constexpr COLORREF kAltTextColour = RGB(110, 110, 110);
constexpr COLORREF kCellBorderColour = RGB(200, 200, 200);
constexpr UINT_PTR kFetchTimer = 1;
constexpr UINT_PTR kPageTimer = 2;
constexpr UINT kBusyPageRetryMs = 250;
constexpr UINT kFetchTimeoutMs = 30000;  // a page that has not come by then is not waited for
constexpr wchar_t kPasswordMask = L'*';

// A page's value for window.external; strings and booleans cross, anything else is passed as empty.
void ToVariant(const common::ExternalValue& value, std::deque<UniqueVariant>& owners, VARIANT& slot) {
    if (value.kind == common::ExternalValue::Kind::Boolean) {
        slot = owners.emplace_back(value.boolean).get();
    } else if (value.kind == common::ExternalValue::Kind::String) {
        slot = owners.emplace_back(ToWide(value.string)).get();
    } else {
        ::VariantInit(&slot);
    }
}

common::ExternalValue FromVariant(const VARIANT& value) {
    common::ExternalValue result;
    if (value.vt == VT_BOOL) {
        result.kind = common::ExternalValue::Kind::Boolean;
        result.boolean = value.boolVal != VARIANT_FALSE;
    } else if (value.vt == VT_BSTR && value.bstrVal != nullptr) {
        result.kind = common::ExternalValue::Kind::String;
        result.string = FromWide(std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal)));
    }
    return result;
}

// window.external.NAME(arguments...) through the object's IDispatch, as the browser control calls it; nullopt
// when the object has no such member.
std::optional<common::ExternalValue> Dispatch(IDispatch* external, std::u16string_view name,
                                              const std::vector<common::ExternalValue>& arguments) {
    if (external == nullptr) {
        return std::nullopt;
    }
    std::wstring method = ToWide(name);
    LPOLESTR names = method.data();
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(external->GetIDsOfNames(IID_NULL, &names, 1, LOCALE_USER_DEFAULT, &id))) {
        return std::nullopt;
    }
    // The owners free the strings; the array Invoke reads is a borrowed view of them, in reverse order: the
    // script's first argument is the last element.
    std::deque<UniqueVariant> owners;
    std::vector<VARIANT> slots(arguments.size());
    for (size_t i = 0; i < arguments.size(); ++i) {
        ToVariant(arguments[i], owners, slots[arguments.size() - 1 - i]);
    }
    DISPPARAMS parameters = {slots.data(), nullptr, static_cast<UINT>(slots.size()), 0};
    UniqueVariant result;
    if (FAILED(external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.put(), nullptr,
                                nullptr))) {
        return common::ExternalValue{};
    }
    return FromVariant(result.get());
}

POINT PointOf(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// Every key but Esc, which stays the dialog's (it closes the store).
LRESULT DialogCodeFor(const MSG* key) {
    if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_ESCAPE) {
        return 0;
    }
    return DLGC_WANTALLKEYS;
}

bool IsField(common::PageBox::Kind kind) {
    return kind == common::PageBox::Kind::TextField || kind == common::PageBox::Kind::PasswordField;
}

COLORREF TextColourOf(const common::PageBox& box) {
    switch (box.kind) {
        case common::PageBox::Kind::Link:
            return kLinkColour;
        case common::PageBox::Kind::ImageAlt:
            return kAltTextColour;
        default:
            return box.style == common::TextStyle::Heading ? kHeadingColour : kTextColour;
    }
}

}  // namespace

CWebView* CWebView::CreateChild(HINSTANCE instance, HWND parent, int controlId, const RECT& rect) {
    std::unique_ptr<CWebView> view(new CWebView());
    WNDCLASSEXW windowClass = {};
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWebViewClass;
    if (!view->Create(windowClass, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL, L"", rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)))) {
        return nullptr;
    }
    view->m_isOwnedByWindow = true;
    view->Relayout();
    return view.release();
}

void CWebView::OnFinalMessage() {
    // A window that failed to be made leaves the object to CreateChild; a page call under way deletes it when
    // it returns.
    if (!m_isOwnedByWindow) {
        return;
    }
    if (m_pageDepth > 0) {
        m_isDeletePending = true;
        return;
    }
    delete this;
}

LRESULT CWebView::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case common::kMsgWebViewGetState:
            return reinterpret_cast<LRESULT>(this);
        case common::kMsgWebViewFetched:
            OnFetched(wParam);
            return 0;
        case WM_TIMER:
            if (wParam == kFetchTimer) {
                OnFetchTimeout();
                return 0;
            }
            if (wParam == kPageTimer) {
                OnPageTimer();
                return 0;
            }
            break;
        case WM_DESTROY:
            AbandonFetch();
            ::KillTimer(hwnd(), kPageTimer);
            break;
        case WM_SIZE:
            Relayout();
            return 0;
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam));
            return 0;
        case WM_MOUSEWHEEL:
            ScrollTo(m_scrollTop - GET_WHEEL_DELTA_WPARAM(wParam) * 3 * kScrollLine / WHEEL_DELTA);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint fills the whole client area
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(hwnd(), nullptr, FALSE);
            break;
        case WM_GETDLGCODE:
            return DialogCodeFor(reinterpret_cast<const MSG*>(lParam));
        case WM_LBUTTONDOWN:
            OnLButtonDown(PointOf(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnLButtonUp(PointOf(lParam));
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
            if (OnKey(message, wParam, lParam)) {
                return 0;
            }
            break;
        default:
            break;
    }
    return WindowBase::WndProc(message, wParam, lParam);
}

// Fetching -----------------------------------------------------------------------------------------------------

bool CWebView::Navigate(const std::wstring& url) {
    AbandonFetch();
    m_url = url;
    m_fetch = PageFetch::Start(url, hwnd(), common::kMsgWebViewFetched, ++m_fetchTicket);
    if (!m_fetch) {
        ShowFailure(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    ::SetTimer(hwnd(), kFetchTimer, kFetchTimeoutMs, nullptr);
    ShowNotice(L"불러오는 중...");
    return true;
}

void CWebView::AbandonFetch() {
    ::KillTimer(hwnd(), kFetchTimer);
    if (m_fetch) {
        m_fetch->Abandon();
        m_fetch.reset();
    }
}

void CWebView::OnFetched(WPARAM ticket) {
    if (!m_fetch || ticket != m_fetchTicket) {
        return;  // a fetch given up on
    }
    std::optional<FetchedPage> page = m_fetch->Take();
    AbandonFetch();
    if (!page) {
        return;
    }
    if (page->result != 0) {
        ShowFailure(page->result);
        return;
    }
    ShowHtml(m_url, page->bytes, page->contentType);
}

void CWebView::OnFetchTimeout() {
    if (m_fetch) {
        AbandonFetch();
        ShowFailure(ERROR_INTERNET_TIMEOUT);
    }
}

void CWebView::ShowFailure(DWORD result) {
    ShowNotice(L"페이지를 열 수 없습니다. (" + std::to_wstring(result) + L")");
}

// The page --------------------------------------------------------------------------------------------------

template <typename Work>
bool CWebView::RunPage(Work&& work) {
    ++m_pageDepth;
    work();
    --m_pageDepth;
    if (m_pageDepth == 0) {
        m_retiredSessions.clear();
        if (m_isDeletePending) {
            delete this;
            return false;
        }
    }
    return !m_isDeletePending;
}

void CWebView::DropSession() {
    ::KillTimer(hwnd(), kPageTimer);
    // A session replaced by a nested message (a page's message box lets the home button or a fetch's report in)
    // still has a call running in it: it goes when that call returns.
    if (m_pageDepth > 0 && m_session) {
        m_retiredSessions.push_back(std::move(m_session));
    }
    m_session.reset();
    m_layout = common::PageLayout{};
    m_scrollTop = 0;
    m_pressed = -1;
    m_focused = -1;
}

void CWebView::ShowHtml(const std::wstring& url, std::string_view bytes, std::string_view contentType) {
    AbandonFetch();
    m_url = url;
    m_contentType = std::string(contentType);
    std::unique_ptr<common::PageSession> session;
    const std::u16string address = FromWide(url);
    // Loading runs the page's scripts, which may call out like any click.
    if (!RunPage([&] { session = common::PageSession::Load(address, bytes, contentType, m_decoder, *this); })) {
        return;
    }
    DropSession();
    if (!session) {
        ShowFailure(ERROR_INVALID_DATA);
        return;
    }
    m_notice.clear();
    m_session = std::move(session);
    m_timerClock = ::GetTickCount64();
    Relayout();
    AfterPageWork();
}

void CWebView::ShowNotice(std::wstring notice) {
    DropSession();
    m_notice = std::move(notice);
    Relayout();
}

void CWebView::AfterPageWork() {
    if (!m_session) {
        return;
    }
    if (std::optional<common::PageNavigation> navigation = m_session->TakeNavigation()) {
        Navigate(ToWide(navigation->url));
        return;
    }
    if (m_session->NeedsLayout()) {
        Relayout();
    }
    if (m_focused >= static_cast<int>(m_session->FocusableCount())) {
        m_focused = -1;
    }
    SchedulePageTimers();
}

void CWebView::Relayout() {
    if (hwnd() == nullptr) {
        return;
    }
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    if (m_session) {
        m_layout = m_session->Layout(std::max<int>(client.right - 2 * kMargin, 1), m_measure);
    }
    SCROLLINFO info = {sizeof(info), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL};
    info.nMax = m_session ? m_layout.height + 2 * kMargin - 1 : 0;
    info.nPage = static_cast<UINT>(ViewHeight());
    m_scrollTop = std::clamp(m_scrollTop, 0, MaxScrollTop());
    info.nPos = m_scrollTop;
    SetScrollBarAndRedraw(info);
}

void CWebView::SetScrollBarAndRedraw(const SCROLLINFO& info) {
    // The bar is drawn with the next paint, not here as well: under Wine each drawing of it costs more than
    // drawing the page.
    ::SetScrollInfo(hwnd(), SB_VERT, &info, FALSE);
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void CWebView::SchedulePageTimers() {
    std::optional<uint32_t> due = m_session ? m_session->NextTimerMs() : std::nullopt;
    if (!due) {
        ::KillTimer(hwnd(), kPageTimer);
        return;
    }
    // The session counts from the last time it was told; the clock has gone on since.
    const ULONGLONG gone = ::GetTickCount64() - m_timerClock;
    const UINT wait = *due > gone ? static_cast<UINT>(*due - gone) : USER_TIMER_MINIMUM;
    ::SetTimer(hwnd(), kPageTimer, std::max<UINT>(wait, USER_TIMER_MINIMUM), nullptr);
}

void CWebView::OnPageTimer() {
    ::KillTimer(hwnd(), kPageTimer);
    if (!m_session) {
        return;
    }
    if (m_pageDepth > 0) {
        // A page's message box is open: its timers wait for it, looking again now and then, not at every tick.
        ::SetTimer(hwnd(), kPageTimer, kBusyPageRetryMs, nullptr);
        return;
    }
    const ULONGLONG now = ::GetTickCount64();
    const uint32_t elapsed = static_cast<uint32_t>(std::min<ULONGLONG>(now - m_timerClock, UINT32_MAX));
    m_timerClock = now;
    common::PageSession* session = m_session.get();
    if (RunPage([&] { session->RunTimers(elapsed); })) {
        AfterPageWork();
    }
}

void CWebView::Press(int focusIndex) {
    if (!m_session || m_pageDepth > 0 || focusIndex < 0 ||
        static_cast<size_t>(focusIndex) >= m_session->FocusableCount()) {
        return;
    }
    common::PageSession* session = m_session.get();
    if (RunPage([&] { session->Activate(static_cast<size_t>(focusIndex)); })) {
        AfterPageWork();
    }
}

std::optional<common::ExternalValue> CWebView::CallExternal(std::u16string_view name,
                                                            const std::vector<common::ExternalValue>& arguments) {
    return Dispatch(m_host != nullptr ? m_host->External() : nullptr, name, arguments);
}

void CWebView::Alert(std::u16string_view text) {
    if (m_host != nullptr) {
        m_host->ShowPageMessage(::GetAncestor(hwnd(), GA_ROOT), ToWide(text));
    }
}

bool CWebView::Confirm(std::u16string_view text) {
    return m_host != nullptr && m_host->AskPageQuestion(::GetAncestor(hwnd(), GA_ROOT), ToWide(text));
}

// Painting --------------------------------------------------------------------------------------------------

RECT CWebView::ClientRectOf(const common::PageBox& box) const {
    return RECT{box.left + kMargin, box.top + kMargin - m_scrollTop, box.right + kMargin,
                box.bottom + kMargin - m_scrollTop};
}

void CWebView::OnPaint() {
    PaintScope paint(hwnd());
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    // Drawn off screen first: a page of many boxes would otherwise flicker while it scrolls.
    UniqueMemoryDc memory(::CreateCompatibleDC(paint.dc()));
    UniqueBitmap bitmap(
        ::CreateCompatibleBitmap(paint.dc(), std::max<int>(client.right, 1), std::max<int>(client.bottom, 1)));
    if (!memory || !bitmap) {
        PaintTo(paint.dc());
        return;
    }
    SelectGuard select(memory.get(), bitmap.get());
    PaintTo(memory.get());
    ::BitBlt(paint.dc(), 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

void CWebView::PaintTo(HDC dc) {
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    if (!m_notice.empty()) {
        SelectGuard select(dc, m_measure.Font(common::TextStyle::Body));
        ::SetTextColor(dc, kTextColour);
        RECT box = {kMargin, kMargin, client.right - kMargin, client.bottom};
        ::DrawTextW(dc, m_notice.c_str(), -1, &box, DT_WORDBREAK | DT_NOPREFIX);
    }
    for (const common::PageBox& box : m_layout.boxes) {
        const RECT rect = ClientRectOf(box);
        if (rect.bottom >= 0 && rect.top <= client.bottom) {
            PaintBox(dc, box, rect);
        }
    }
}

void CWebView::PaintBox(HDC dc, const common::PageBox& box, const RECT& rect) {
    const bool isFocused = box.focusIndex >= 0 && box.focusIndex == m_focused;
    RECT area = rect;
    switch (box.kind) {
        case common::PageBox::Kind::CellBorder: {
            // The DC's own brush: a table of many cells makes no brush per cell and paint.
            ::SetDCBrushColor(dc, kCellBorderColour);
            ::FrameRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
            return;
        }
        case common::PageBox::Kind::Button: {
            const bool isPressed = box.focusIndex >= 0 && box.focusIndex == m_pressed;
            ::DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (isPressed ? DFCS_PUSHED : 0));
            SelectGuard select(dc, m_measure.Font(box.style));
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
            const std::wstring label = ToWide(box.text);
            ::DrawTextW(dc, label.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            if (isFocused) {
                RECT focus = {area.left + 3, area.top + 3, area.right - 3, area.bottom - 3};
                ::DrawFocusRect(dc, &focus);
            }
            return;
        }
        case common::PageBox::Kind::TextField:
        case common::PageBox::Kind::PasswordField: {
            ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            ::DrawEdge(dc, &area, EDGE_SUNKEN, BF_RECT);
            std::wstring text = ToWide(box.text);
            if (box.kind == common::PageBox::Kind::PasswordField) {
                text.assign(text.size(), kPasswordMask);
            }
            SelectGuard select(dc, m_measure.Font(box.style));
            ::SetTextColor(dc, kTextColour);
            RECT inside = {area.left + 4, area.top + 2, area.right - 4, area.bottom - 2};
            ::DrawTextW(dc, text.c_str(), -1, &inside,
                        DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
            if (isFocused && ::GetFocus() == hwnd()) {
                SIZE extent = {};
                ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
                const int x = std::min<int>(inside.left + extent.cx + 1, inside.right - 1);
                RECT caret = {x, inside.top + 1, x + 1, inside.bottom - 1};
                ::FillRect(dc, &caret, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
            }
            return;
        }
        default: {
            SelectGuard select(dc, m_measure.Font(box.style));  // a link's words have the link style
            ::SetTextColor(dc, TextColourOf(box));
            // One word or line at the box's top left, unclipped, as measured: what DrawText would do for it
            // without its own measuring and formatting of every box.
            ::ExtTextOutW(dc, area.left, area.top, 0, nullptr, WideCStr(box.text.c_str()),
                          static_cast<UINT>(box.text.size()), nullptr);
            if (isFocused) {
                ::DrawFocusRect(dc, &area);
            }
            return;
        }
    }
}

// Scrolling -------------------------------------------------------------------------------------------------

int CWebView::ViewHeight() const {
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    return std::max<int>(client.bottom, 1);
}

int CWebView::MaxScrollTop() const {
    return m_session ? std::max(0, m_layout.height + 2 * kMargin - ViewHeight()) : 0;
}

void CWebView::ScrollTo(int top) {
    top = std::clamp(top, 0, MaxScrollTop());
    if (top == m_scrollTop) {
        return;
    }
    m_scrollTop = top;
    SCROLLINFO info = {sizeof(info), SIF_POS | SIF_DISABLENOSCROLL};
    info.nPos = m_scrollTop;
    SetScrollBarAndRedraw(info);
}

void CWebView::OnVScroll(WORD request) {
    const int page = std::max(ViewHeight() - kScrollLine, kScrollLine);
    switch (request) {
        case SB_LINEUP:
            ScrollTo(m_scrollTop - kScrollLine);
            break;
        case SB_LINEDOWN:
            ScrollTo(m_scrollTop + kScrollLine);
            break;
        case SB_PAGEUP:
            ScrollTo(m_scrollTop - page);
            break;
        case SB_PAGEDOWN:
            ScrollTo(m_scrollTop + page);
            break;
        case SB_TOP:
            ScrollTo(0);
            break;
        case SB_BOTTOM:
            ScrollTo(MaxScrollTop());
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO info = {sizeof(info), SIF_TRACKPOS};
            ::GetScrollInfo(hwnd(), SB_VERT, &info);
            ScrollTo(info.nTrackPos);
            break;
        }
        default:
            break;
    }
}

void CWebView::ScrollIntoView(int focusIndex) {
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (const common::PageBox& box : m_layout.boxes) {
        if (box.focusIndex == focusIndex) {
            top = std::min(top, box.top + kMargin);
            bottom = std::max(bottom, box.bottom + kMargin);
        }
    }
    if (top == INT_MAX) {
        return;
    }
    const int height = ViewHeight();
    if (top < m_scrollTop + kMargin) {
        ScrollTo(top - kMargin);
    } else if (bottom > m_scrollTop + height - kMargin) {
        ScrollTo(std::min(bottom + kMargin - height, top - kMargin));
    }
}

// The mouse and the keys ------------------------------------------------------------------------------------

int CWebView::FocusableAt(POINT point) const {
    for (const common::PageBox& box : m_layout.boxes) {
        if (box.focusIndex >= 0) {
            const RECT rect = ClientRectOf(box);
            if (::PtInRect(&rect, point)) {
                return box.focusIndex;
            }
        }
    }
    return -1;
}

void CWebView::OnLButtonDown(POINT point) {
    ::SetFocus(hwnd());
    m_pressed = FocusableAt(point);
    if (m_pressed >= 0) {
        ::SetCapture(hwnd());
    }
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CWebView::OnLButtonUp(POINT point) {
    if (::GetCapture() == hwnd()) {
        ::ReleaseCapture();
    }
    if (m_pressed < 0) {
        return;
    }
    const int pressed = m_pressed;
    m_pressed = -1;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    if (FocusableAt(point) == pressed) {
        m_focused = pressed;
        Press(pressed);
    }
}

bool CWebView::EditField(UINT message, WPARAM wParam) {
    if (!m_session || m_focused < 0 || !m_session->IsTextField(static_cast<size_t>(m_focused))) {
        return false;
    }
    const size_t index = static_cast<size_t>(m_focused);
    std::u16string value = m_session->FieldValue(index);
    if (message == WM_KEYDOWN && wParam == VK_BACK) {
        if (!value.empty()) {
            // A surrogate pair goes as one character.
            const bool isPair =
                value.size() >= 2 && (value.back() & 0xFC00) == 0xDC00 && (value[value.size() - 2] & 0xFC00) == 0xD800;
            value.resize(value.size() - (isPair ? 2 : 1));
        }
    } else if (message == WM_CHAR && wParam >= L' ' && wParam != 0x7F) {
        value.push_back(static_cast<char16_t>(wParam));
    } else {
        return message == WM_CHAR;  // other characters (Backspace's, Enter's, Tab's) are no text
    }
    common::PageSession* session = m_session.get();
    if (RunPage([&] { session->SetFieldValue(index, value); })) {
        AfterPageWork();
    }
    return true;
}

bool CWebView::OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pageDepth == 0 && (message == WM_CHAR || (message == WM_KEYDOWN && wParam == VK_BACK)) &&
        EditField(message, wParam)) {
        return true;
    }
    if (m_host != nullptr) {
        MSG key = {hwnd(), message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        if (m_host->FilterKey(key)) {
            return true;
        }
    }
    if (message != WM_KEYDOWN) {
        return false;
    }
    const int count = m_session ? static_cast<int>(m_session->FocusableCount()) : 0;
    switch (wParam) {
        case VK_TAB: {
            // Tab walks the page's links, buttons and fields, Enter or Space presses the one it is on: the page
            // works without a mouse.
            if (count == 0) {
                return true;
            }
            const bool isBackward = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
            m_focused =
                m_focused < 0 ? (isBackward ? count - 1 : 0) : (m_focused + (isBackward ? count - 1 : 1)) % count;
            ScrollIntoView(m_focused);
            ::InvalidateRect(hwnd(), nullptr, FALSE);
            return true;
        }
        case VK_RETURN:
        case VK_SPACE:
            Press(m_focused);
            return true;
        case VK_PRIOR:
            OnVScroll(SB_PAGEUP);
            return true;
        case VK_NEXT:
            OnVScroll(SB_PAGEDOWN);
            return true;
        case VK_HOME:
            OnVScroll(SB_TOP);
            return true;
        case VK_END:
            OnVScroll(SB_BOTTOM);
            return true;
        case VK_UP:
            OnVScroll(SB_LINEUP);
            return true;
        case VK_DOWN:
            OnVScroll(SB_LINEDOWN);
            return true;
        default:
            return false;
    }
}

// What tests and hosts read -----------------------------------------------------------------------------------

std::vector<WebViewButton> CWebView::Buttons() const {
    std::vector<WebViewButton> buttons;
    for (const common::PageBox& box : m_layout.boxes) {
        if (box.kind == common::PageBox::Kind::Button && box.focusIndex >= 0) {
            buttons.push_back(WebViewButton{ClientRectOf(box), box.text, static_cast<size_t>(box.focusIndex)});
        }
    }
    return buttons;
}

bool CWebView::Click(size_t buttonIndex) {
    std::vector<WebViewButton> buttons = Buttons();
    if (buttonIndex >= buttons.size()) {
        return false;
    }
    m_focused = static_cast<int>(buttons[buttonIndex].focusIndex);
    Press(m_focused);
    return true;
}

CWebView* CWebBrowser2::View() const {
    return m_control != nullptr
               ? reinterpret_cast<CWebView*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0))
               : nullptr;
}

bool CWebBrowser2::Attach(HWND control) {
    m_control = control;
    if (View() == nullptr) {
        m_control = nullptr;
    }
    return m_control != nullptr;
}

void CWebBrowser2::SetHost(IWebViewHost* host) {
    if (CWebView* view = View()) {
        view->SetHost(host);
    }
}

bool CWebBrowser2::Navigate2(const std::wstring& url) {
    CWebView* view = View();
    return view != nullptr && view->Navigate(url);
}

std::wstring CWebBrowser2::LocationURL() const {
    CWebView* view = View();
    return view != nullptr ? view->Url() : std::wstring();
}

const common::PageSession* CWebBrowser2::Page() const {
    CWebView* view = View();
    return view != nullptr ? view->Page() : nullptr;
}

std::vector<WebViewButton> CWebBrowser2::Buttons() const {
    CWebView* view = View();
    return view != nullptr ? view->Buttons() : std::vector<WebViewButton>();
}

bool CWebBrowser2::Click(size_t buttonIndex) {
    CWebView* view = View();
    return view != nullptr && view->Click(buttonIndex);
}

}  // namespace platform
