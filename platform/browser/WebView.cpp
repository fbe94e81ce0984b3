// The web view: fetch, layout, painting, buttons and keys.
#include "platform/browser/WebView.h"

#include <memory>
#include <optional>

#include "common/ipc/Messages.h"
#include "platform/FileBytes.h"
#include "platform/GdiGuards.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/inet/StoreTransfer.h"

namespace platform {

namespace {

// The wrapper's requests to the window; each answers with a pointer to the window's state.

constexpr int kMargin = 12;
constexpr int kListIndent = 22;
constexpr int kBlockGap = 8;
constexpr int kButtonPadX = 12;
constexpr int kButtonPadY = 4;
constexpr int kBodyHeight = 15;
constexpr int kHeadingHeight = 22;
constexpr COLORREF kTextColour = RGB(30, 30, 30);
constexpr COLORREF kHeadingColour = RGB(25, 60, 150);
constexpr size_t kMaxPageBytes = 4 * 1024 * 1024;

struct LaidOutRun {
    RECT rect;
    std::wstring text;
    bool isBold;
    bool isHeading;
    bool isButton;
    const common::ExternalCall* call;
};

struct WebViewState {
    IWebViewHost* host = nullptr;
    std::wstring url;
    std::unique_ptr<common::PageModel> page;
    std::wstring notice;  // shown instead of a page that could not be fetched
    std::vector<LaidOutRun> runs;
    UniqueGdiObject bodyFont;
    UniqueGdiObject boldFont;
    UniqueGdiObject headingFont;
    int pressed = -1;  // index into runs of the button under a pressed mouse button
    int focused = -1;  // index into runs of the button Tab has moved to
};

HFONT MakeFont(int height, int weight) {
    return ::CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Gulim");
}

WebViewState* StateOf(HWND window) {
    return reinterpret_cast<WebViewState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
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

void Layout(HWND window, WebViewState& state) {
    state.runs.clear();
    state.pressed = -1;
    state.focused = -1;
    if (!state.page) {
        return;
    }
    RECT client = {};
    ::GetClientRect(window, &client);
    const int right = client.right - kMargin;
    WindowDc dc(window);
    int y = kMargin;
    for (const common::PageBlock& block : state.page->blocks) {
        const bool isHeading = block.kind == common::BlockKind::Heading;
        const int lineHeight = isHeading ? kHeadingHeight + 6 : kBodyHeight + 2 * kButtonPadY + 4;
        const int left = kMargin + (block.kind == common::BlockKind::ListItem ? kListIndent : 0);
        int x = left;
        if (block.kind == common::BlockKind::ListItem) {
            state.runs.push_back(
                LaidOutRun{RECT{kMargin + 6, y, left, y + lineHeight}, L"\u2022", false, false, false, nullptr});
        }
        for (const common::PageRun& run : block.runs) {
            HFONT font = static_cast<HFONT>(isHeading    ? state.headingFont.get()
                                            : run.isBold ? state.boldFont.get()
                                                         : state.bodyFont.get());
            if (run.isButton) {
                std::wstring text = ToWide(run.text);
                SIZE size = Measure(dc.get(), font, text);
                int width = size.cx + 2 * kButtonPadX;
                if (x + width > right && x > left) {
                    x = left;
                    y += lineHeight;
                }
                x += x > left ? 6 : 0;
                state.runs.push_back(LaidOutRun{RECT{x, y, x + width, y + kBodyHeight + 2 * kButtonPadY}, text, false,
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
                state.runs.push_back(LaidOutRun{RECT{x, y + kButtonPadY, x + size.cx, y + lineHeight}, word, run.isBold,
                                                isHeading, false, nullptr});
                x += size.cx;
            }
        }
        y += lineHeight + kBlockGap;
    }
}

void Paint(HWND window, WebViewState& state) {
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(window, &paint);
    RECT client = {};
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    if (!state.notice.empty()) {
        SelectGuard select(dc, state.bodyFont.get());
        ::SetTextColor(dc, kTextColour);
        RECT box = {kMargin, kMargin, client.right - kMargin, client.bottom};
        ::DrawTextW(dc, state.notice.c_str(), -1, &box, DT_WORDBREAK);
    }
    for (size_t i = 0; i < state.runs.size(); ++i) {
        const LaidOutRun& run = state.runs[i];
        RECT rect = run.rect;
        if (run.isButton) {
            UINT look = DFCS_BUTTONPUSH | (static_cast<int>(i) == state.pressed ? DFCS_PUSHED : 0);
            ::DrawFrameControl(dc, &rect, DFC_BUTTON, look);
            SelectGuard select(dc, state.bodyFont.get());
            ::SetTextColor(dc, run.call != nullptr ? kTextColour : ::GetSysColor(COLOR_GRAYTEXT));
            ::DrawTextW(dc, run.text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            if (static_cast<int>(i) == state.focused) {
                RECT focus = {rect.left + 3, rect.top + 3, rect.right - 3, rect.bottom - 3};
                ::DrawFocusRect(dc, &focus);
            }
            continue;
        }
        HFONT font = static_cast<HFONT>(run.isHeading ? state.headingFont.get()
                                        : run.isBold  ? state.boldFont.get()
                                                      : state.bodyFont.get());
        SelectGuard select(dc, font);
        ::SetTextColor(dc, run.isHeading ? kHeadingColour : kTextColour);
        ::DrawTextW(dc, run.text.c_str(), -1, &rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    ::EndPaint(window, &paint);
}

bool Fetch(HWND window, WebViewState& state, const std::wstring& url) {
    wchar_t temp[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ::GetTempFileNameW(temp, L"kwv", 0, file);
    int64_t counter = 0;
    DWORD result = HttpFetch(url, file, nullptr, counter);
    // A page is a few kilobytes; one far larger is not shown (it would all be held in memory).
    std::optional<std::vector<uint8_t>> bytes =
        result == kTransferOk ? ReadFileUpTo(file, kMaxPageBytes) : std::nullopt;
    ::DeleteFileW(file);
    state.url = url;
    if (result == kTransferOk && !bytes) {
        result = ERROR_FILE_TOO_LARGE;
    }
    if (result != kTransferOk) {
        state.page.reset();
        state.notice = L"페이지를 열 수 없습니다. (" + std::to_wstring(result) + L")";
        Layout(window, state);
        ::InvalidateRect(window, nullptr, TRUE);
        return false;
    }
    state.notice.clear();
    state.page = std::make_unique<common::PageModel>(
        common::ReadPage(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size())));
    Layout(window, state);
    ::InvalidateRect(window, nullptr, TRUE);
    return true;
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
    // Arguments go in reverse order: the script's first argument is the last element.
    std::vector<VARIANT> arguments(call.arguments.size());
    for (size_t i = 0; i < call.arguments.size(); ++i) {
        VARIANT& argument = arguments[call.arguments.size() - 1 - i];
        ::VariantInit(&argument);
        argument.vt = VT_BSTR;
        argument.bstrVal = ::SysAllocString(ToWide(call.arguments[i]).c_str());
    }
    DISPPARAMS parameters = {arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    VARIANT result;
    ::VariantInit(&result);
    HRESULT hr =
        external->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, &result, nullptr, nullptr);
    ::VariantClear(&result);
    for (VARIANT& argument : arguments) {
        ::VariantClear(&argument);
    }
    return SUCCEEDED(hr);
}

// The next (or previous) button after `from`, wrapping; -1 when the page has none.
int NextButton(const WebViewState& state, int from, bool isBackward) {
    const int count = static_cast<int>(state.runs.size());
    for (int step = 1; step <= count; ++step) {
        int index = isBackward ? (from - step + 2 * count) % count : (from + step + count) % count;
        if (state.runs[index].isButton) {
            return index;
        }
    }
    return -1;
}

void Activate(WebViewState& state, int index) {
    if (index < 0 || state.runs[index].call == nullptr || state.host == nullptr) {
        return;
    }
    // A copy: the call may navigate, which lays the page out anew.
    common::ExternalCall call = *state.runs[index].call;
    Call(state.host->External(), call);
}

int ButtonAt(const WebViewState& state, POINT point) {
    for (size_t i = 0; i < state.runs.size(); ++i) {
        if (state.runs[i].isButton && ::PtInRect(&state.runs[i].rect, point)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

LRESULT CALLBACK WebViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WebViewState* state = StateOf(window);
    switch (message) {
        case WM_NCCREATE: {
            auto* created = new WebViewState();
            created->bodyFont.reset(MakeFont(kBodyHeight - 2, FW_NORMAL));
            created->boldFont.reset(MakeFont(kBodyHeight - 2, FW_BOLD));
            created->headingFont.reset(MakeFont(kHeadingHeight - 2, FW_BOLD));
            ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
            break;
        }
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete state;
            state = nullptr;
            break;
        case common::kMsgWebViewGetState:
            return reinterpret_cast<LRESULT>(state);
        case WM_SIZE:
            if (state != nullptr) {
                Layout(window, *state);
                ::InvalidateRect(window, nullptr, TRUE);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            if (state != nullptr) {
                Paint(window, *state);
                return 0;
            }
            break;
        case WM_GETDLGCODE: {
            // Every key but Esc, which stays the dialog's (it closes the store).
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_ESCAPE) {
                return 0;
            }
            return DLGC_WANTALLKEYS;
        }
        case WM_LBUTTONDOWN:
            if (state != nullptr) {
                ::SetFocus(window);
                state->pressed =
                    ButtonAt(*state, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
                ::InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_LBUTTONUP:
            if (state != nullptr && state->pressed >= 0) {
                int under =
                    ButtonAt(*state, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
                int pressed = state->pressed;
                state->pressed = -1;
                ::InvalidateRect(window, nullptr, FALSE);
                if (under == pressed) {
                    state->focused = pressed;
                    Activate(*state, pressed);
                }
            }
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
            if (state != nullptr && state->host != nullptr) {
                MSG key = {window, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
                if (state->host->FilterKey(key)) {
                    return 0;
                }
            }
            if (message != WM_KEYDOWN || state == nullptr) {
                break;
            }
            if (wParam == VK_F5 && !state->url.empty()) {
                std::wstring url = state->url;
                Fetch(window, *state, url);
                return 0;
            }
            // Tab walks the buttons, Enter or Space presses the one it is on: the page works without a mouse.
            if (wParam == VK_TAB) {
                state->focused = NextButton(*state, state->focused, (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
                ::InvalidateRect(window, nullptr, FALSE);
                return 0;
            }
            if (wParam == VK_RETURN || wParam == VK_SPACE) {
                Activate(*state, state->focused);
                return 0;
            }
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterWebViewClass(HINSTANCE instance) {
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExW(instance, kWebViewClass, &existing)) {
        return true;
    }
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = WebViewProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWebViewClass;
    return ::RegisterClassExW(&windowClass) != 0;
}

bool CWebBrowser2::Attach(HWND control) {
    m_control = ::SendMessageW(control, common::kMsgWebViewGetState, 0, 0) != 0 ? control : nullptr;
    return m_control != nullptr;
}

void CWebBrowser2::SetHost(IWebViewHost* host) {
    if (auto* state = reinterpret_cast<WebViewState*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0))) {
        state->host = host;
    }
}

bool CWebBrowser2::Navigate2(const std::wstring& url) {
    auto* state = reinterpret_cast<WebViewState*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0));
    return state != nullptr && Fetch(m_control, *state, url);
}

std::wstring CWebBrowser2::LocationURL() const {
    auto* state = reinterpret_cast<WebViewState*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0));
    return state != nullptr ? state->url : std::wstring();
}

const common::PageModel* CWebBrowser2::Page() const {
    auto* state = reinterpret_cast<WebViewState*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0));
    return state != nullptr ? state->page.get() : nullptr;
}

std::vector<WebViewButton> CWebBrowser2::Buttons() const {
    std::vector<WebViewButton> buttons;
    auto* state = reinterpret_cast<WebViewState*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0));
    if (state != nullptr) {
        for (const LaidOutRun& run : state->runs) {
            if (run.isButton) {
                buttons.push_back(WebViewButton{run.rect, FromWide(run.text), run.call});
            }
        }
    }
    return buttons;
}

bool CWebBrowser2::Click(size_t buttonIndex) {
    auto* state = reinterpret_cast<WebViewState*>(::SendMessageW(m_control, common::kMsgWebViewGetState, 0, 0));
    if (state == nullptr) {
        return false;
    }
    for (size_t i = 0; i < state->runs.size(); ++i) {
        if (state->runs[i].isButton && buttonIndex-- == 0) {
            if (state->runs[i].call == nullptr) {
                return false;
            }
            Activate(*state, static_cast<int>(i));
            return true;
        }
    }
    return false;
}

}  // namespace platform
