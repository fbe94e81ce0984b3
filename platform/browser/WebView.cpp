// The web view: fetch, layout, painting, buttons and keys.
#include "platform/browser/WebView.h"

#include <wininet.h>

#include <deque>
#include <optional>

#include "common/ipc/Messages.h"
#include "platform/GdiGuards.h"
#include "platform/WideText.h"
#include "platform/dom/UniqueVariant.h"

namespace platform {

namespace {

constexpr int kMargin = 12;
constexpr int kListIndent = 22;
constexpr int kBlockGap = 8;
constexpr int kButtonPadX = 12;
constexpr int kButtonPadY = 4;
constexpr int kBodyHeight = 15;
constexpr int kHeadingHeight = 22;
constexpr COLORREF kTextColour = RGB(30, 30, 30);
constexpr COLORREF kHeadingColour = RGB(25, 60, 150);
constexpr UINT_PTR kFetchTimer = 1;
constexpr UINT kFetchTimeoutMs = 30000;  // a page that has not come by then is not waited for

HFONT MakeFont(int height, int weight) {
    return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Gulim");
}

SIZE Measure(HDC dc, HFONT font, const std::wstring& text) {
    SelectGuard select(dc, font);
    SIZE size = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// Splits text into words, each with the spaces that follow it, so lines can break between them.
std::vector<std::wstring> Words(const std::wstring& text) {
    std::vector<std::wstring> words;
    std::wstring word;
    for (wchar_t unit : text) {
        word.push_back(unit);
        if (unit == L' ') {
            words.push_back(std::move(word));
            word.clear();
        }
    }
    if (!word.empty()) {
        words.push_back(std::move(word));
    }
    return words;
}

// Calls window.external.<method>(arguments...) with string arguments, as a page script would.
bool Call(IDispatch* external, const common::ExternalCall& call) {
    if (external == nullptr) {
        return false;
    }
    std::wstring method = ToWide(call.method);
    LPOLESTR name = method.data();
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(external->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
        return false;
    }
    // The owners free the strings; the array Invoke reads is a borrowed view of them, in reverse order: the
    // script's first argument is the last element.
    std::deque<UniqueVariant> owners;
    std::vector<VARIANT> arguments(call.arguments.size());
    for (size_t i = 0; i < call.arguments.size(); ++i) {
        arguments[call.arguments.size() - 1 - i] = owners.emplace_back(ToWide(call.arguments[i])).get();
    }
    DISPPARAMS parameters = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    UniqueVariant result;
    HRESULT hr = external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.put(),
                                  nullptr, nullptr);
    return SUCCEEDED(hr);
}

POINT PointOf(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

// Every key but Esc, which stays the dialog's (it closes the store).
LRESULT DialogCodeFor(const MSG* key) {
    if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_ESCAPE) {
        return 0;
    }
    return DLGC_WANTALLKEYS;
}

}  // namespace

CWebView::CWebView()
    : m_bodyFont(MakeFont(kBodyHeight - 2, FW_NORMAL)),
      m_boldFont(MakeFont(kBodyHeight - 2, FW_BOLD)),
      m_headingFont(MakeFont(kHeadingHeight - 2, FW_BOLD)) {}

CWebView* CWebView::CreateChild(HINSTANCE instance, HWND parent, int controlId, const RECT& rect) {
    std::unique_ptr<CWebView> view(new CWebView());
    WNDCLASSEXW windowClass = {};
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWebViewClass;
    if (!view->Create(windowClass, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, L"", rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)))) {
        return nullptr;
    }
    view->m_isOwnedByWindow = true;
    return view.release();
}

void CWebView::OnFinalMessage() {
    // A window that failed to be made leaves the object to CreateChild.
    if (m_isOwnedByWindow) {
        delete this;
    }
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
            break;
        case WM_DESTROY:
            AbandonFetch();
            break;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint fills the whole client area
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_PRINTCLIENT:
            PaintTo(reinterpret_cast<HDC>(wParam));
            return 0;
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
    m_contentType = std::move(page->contentType);
    ShowHtml(m_url, page->bytes);
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

void CWebView::ShowHtml(const std::wstring& url, std::string_view html) {
    AbandonFetch();
    m_url = url;
    m_notice.clear();
    m_page = std::make_unique<common::PageModel>(common::ReadPage(html));
    Layout();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CWebView::ShowNotice(std::wstring notice) {
    m_page.reset();
    m_notice = std::move(notice);
    Layout();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

HFONT CWebView::RunFont(bool isHeading, bool isBold) const {
    return isHeading ? m_headingFont.get() : isBold ? m_boldFont.get() : m_bodyFont.get();
}

void CWebView::Layout() {
    m_runs.clear();
    m_pressed = -1;
    m_focused = -1;
    if (!m_page) {
        return;
    }
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    const int right = client.right - kMargin;
    WindowDc dc(hwnd());
    int y = kMargin;
    for (const common::PageBlock& block : m_page->blocks) {
        const bool isHeading = block.kind == common::BlockKind::Heading;
        const int lineHeight = isHeading ? kHeadingHeight + 6 : kBodyHeight + 2 * kButtonPadY + 4;
        const int left = kMargin + (block.kind == common::BlockKind::ListItem ? kListIndent : 0);
        int x = left;
        if (block.kind == common::BlockKind::ListItem) {
            m_runs.push_back(
                LaidOutRun{RECT{kMargin + 6, y, left, y + lineHeight}, L"\u2022", false, false, false, nullptr});
        }
        for (const common::PageRun& run : block.runs) {
            HFONT font = RunFont(isHeading, run.isBold);
            if (run.isButton) {
                std::wstring text = ToWide(run.text);
                SIZE size = Measure(dc.get(), font, text);
                int width = size.cx + 2 * kButtonPadX;
                if (x + width > right && x > left) {
                    x = left;
                    y += lineHeight;
                }
                x += x > left ? 6 : 0;
                m_runs.push_back(LaidOutRun{RECT{x, y, x + width, y + kBodyHeight + 2 * kButtonPadY}, text, false,
                                            false, true, run.call ? &*run.call : nullptr});
                x += width;
                continue;
            }
            for (const std::wstring& word : Words(ToWide(run.text))) {
                SIZE size = Measure(dc.get(), font, word);
                if (x + size.cx > right && x > left) {
                    x = left;
                    y += lineHeight;
                }
                m_runs.push_back(LaidOutRun{RECT{x, y + kButtonPadY, x + size.cx, y + lineHeight}, word, run.isBold,
                                            isHeading, false, nullptr});
                x += size.cx;
            }
        }
        y += lineHeight + kBlockGap;
    }
}

void CWebView::OnSize() {
    Layout();
    ::InvalidateRect(hwnd(), nullptr, TRUE);
}

void CWebView::OnPaint() {
    PaintScope paint(hwnd());
    PaintTo(paint.dc());
}

void CWebView::PaintTo(HDC dc) {
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    if (!m_notice.empty()) {
        SelectGuard select(dc, m_bodyFont);
        ::SetTextColor(dc, kTextColour);
        RECT box = {kMargin, kMargin, client.right - kMargin, client.bottom};
        ::DrawTextW(dc, m_notice.c_str(), -1, &box, DT_WORDBREAK);
    }
    for (size_t i = 0; i < m_runs.size(); ++i) {
        const LaidOutRun& run = m_runs[i];
        if (run.isButton) {
            PaintButton(dc, i);
            continue;
        }
        RECT rect = run.rect;
        SelectGuard select(dc, RunFont(run.isHeading, run.isBold));
        ::SetTextColor(dc, run.isHeading ? kHeadingColour : kTextColour);
        ::DrawTextW(dc, run.text.c_str(), -1, &rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
}

void CWebView::PaintButton(HDC dc, size_t index) {
    const LaidOutRun& run = m_runs[index];
    RECT rect = run.rect;
    UINT look = DFCS_BUTTONPUSH | (static_cast<int>(index) == m_pressed ? DFCS_PUSHED : 0);
    ::DrawFrameControl(dc, &rect, DFC_BUTTON, look);
    SelectGuard select(dc, m_bodyFont);
    ::SetTextColor(dc, run.call != nullptr ? kTextColour : ::GetSysColor(COLOR_GRAYTEXT));
    ::DrawTextW(dc, run.text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (static_cast<int>(index) == m_focused) {
        RECT focus = {rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3};
        ::DrawFocusRect(dc, &focus);
    }
}

void CWebView::OnLButtonDown(POINT point) {
    ::SetFocus(hwnd());
    m_pressed = ButtonAt(point);
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

void CWebView::OnLButtonUp(POINT point) {
    if (m_pressed < 0) {
        return;
    }
    const int pressed = m_pressed;
    m_pressed = -1;
    ::InvalidateRect(hwnd(), nullptr, FALSE);
    if (ButtonAt(point) == pressed) {
        m_focused = pressed;
        Activate(pressed);
    }
}

bool CWebView::OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_host != nullptr) {
        MSG key = {hwnd(), message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
        if (m_host->FilterKey(key)) {
            return true;
        }
    }
    if (message != WM_KEYDOWN) {
        return false;
    }
    if (wParam == VK_F5 && !m_url.empty()) {
        std::wstring url = m_url;
        Navigate(url);
        return true;
    }
    // Tab walks the buttons, Enter or Space presses the one it is on: the page works without a mouse.
    if (wParam == VK_TAB) {
        m_focused = NextButton(m_focused, (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
        ::InvalidateRect(hwnd(), nullptr, FALSE);
        return true;
    }
    if (wParam == VK_RETURN || wParam == VK_SPACE) {
        Activate(m_focused);
        return true;
    }
    return false;
}

int CWebView::NextButton(int from, bool isBackward) const {
    const int count = static_cast<int>(m_runs.size());
    for (int step = 1; step <= count; ++step) {
        int index = isBackward ? (from - step + 2 * count) % count : (from + step + count) % count;
        if (m_runs[index].isButton) {
            return index;
        }
    }
    return -1;
}

void CWebView::Activate(int index) {
    if (index < 0 || m_runs[index].call == nullptr || m_host == nullptr) {
        return;
    }
    // A copy: the call may navigate, which lays the page out anew.
    common::ExternalCall call = *m_runs[index].call;
    Call(m_host->External(), call);
}

int CWebView::ButtonAt(POINT point) const {
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].isButton && ::PtInRect(&m_runs[i].rect, point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<WebViewButton> CWebView::Buttons() const {
    std::vector<WebViewButton> buttons;
    for (const LaidOutRun& run : m_runs) {
        if (run.isButton) {
            buttons.push_back(WebViewButton{run.rect, FromWide(run.text), run.call});
        }
    }
    return buttons;
}

bool CWebView::Click(size_t buttonIndex) {
    for (size_t i = 0; i < m_runs.size(); ++i) {
        if (m_runs[i].isButton && buttonIndex-- == 0) {
            if (m_runs[i].call == nullptr) {
                return false;
            }
            Activate(static_cast<int>(i));
            return true;
        }
    }
    return false;
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

const common::PageModel* CWebBrowser2::Page() const {
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
