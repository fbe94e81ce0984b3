// The page view with a real page session: scripts reaching window.external through IDispatch, scrolling, the
// keyboard, field editing, the page's message boxes, timers, and a page call that closes the window.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/browser/WebView.h"
#include "tests/platform/browser/WebViewWindow.h"

namespace {

// window.external as the agent's object answers it: the four store members by name, each call recorded with
// its string arguments. `onCall` runs inside Invoke, as the agent's reaction to a call does.
class RecordingExternal final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        for (size_t i = 0; i < kMembers.size(); ++i) {
            if (kMembers[i] == names[0]) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        std::wstring call = kMembers[static_cast<size_t>(id - 1)];
        // The script's first argument is the last element.
        for (UINT i = parameters->cArgs; i-- > 0;) {
            const VARIANT& argument = parameters->rgvarg[i];
            call += L"|" + (argument.vt == VT_BSTR ? std::wstring(argument.bstrVal)
                                                   : L"<" + std::to_wstring(argument.vt) + L">");
        }
        calls.push_back(call);
        if (id == 1 && result != nullptr) {
            result->vt = VT_BOOL;
            result->boolVal = VARIANT_TRUE;
        }
        if (onCall) {
            onCall();
        }
        return S_OK;
    }

    const std::vector<std::wstring> kMembers = {L"CB_IsOurCustomBrowser", L"CB_UpdatePackage", L"CB_InstallPackage",
                                                L"CB_Close"};
    std::vector<std::wstring> calls;
    std::function<void()> onCall;
};

// The store dialog's side: Backspace is kept from the page, as the store window keeps it.
class RecordingHost final : public platform::IWebViewHost {
public:
    IDispatch* External() override { return &external; }
    bool FilterKey(const MSG& message) override { return message.wParam == VK_BACK; }
    void ShowPageMessage(HWND, const std::wstring& text) override { messages.push_back(L"alert:" + text); }
    bool AskPageQuestion(HWND, const std::wstring& text) override {
        messages.push_back(L"confirm:" + text);
        return answer;
    }

    RecordingExternal external;
    std::vector<std::wstring> messages;
    bool answer = true;
};

class WebViewPage : public WebViewWindow {
protected:
    void SetUp() override {
        WebViewWindow::SetUp();
        m_view->SetHost(&m_host);
    }
    void Key(WPARAM key) {
        ::SendMessageW(m_view->hwnd(), WM_KEYDOWN, key, 0);
        ::SendMessageW(m_view->hwnd(), WM_KEYUP, key, 0);
    }
    void Type(const std::wstring& text) {
        for (wchar_t unit : text) {
            ::SendMessageW(m_view->hwnd(), WM_CHAR, unit, 0);
        }
    }
    void Pump(DWORD milliseconds) {
        const ULONGLONG end = ::GetTickCount64() + milliseconds;
        while (::GetTickCount64() < end) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG message;
            while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                ::DispatchMessageW(&message);
            }
        }
    }
    // A click of the mouse at the middle of `rect` (client coordinates).
    void ClickAt(const RECT& rect) {
        const LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        ::SendMessageW(m_view->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        ::SendMessageW(m_view->hwnd(), WM_LBUTTONUP, 0, point);
    }
    std::u16string FieldText(size_t index) const { return m_view->Page()->FieldValue(index); }

    RecordingHost m_host;
};

// A table of packages far taller than the view (200 px), each row's button calling the page's own function.
std::string TallTable(int rows) {
    std::string html =
        "<html><head><meta charset=utf-8><script>var names = [];"
        "function install(i) { window.external.CB_InstallPackage(String(i), 'apps', names[i]); }</script></head>"
        "<body><h1>Store</h1><table>";
    for (int i = 0; i < rows; ++i) {
        html += "<tr><td>package " + std::to_string(i) + "</td><td><input type=button value='설치' onclick='install(" +
                std::to_string(i) + ")'></td></tr><script>names.push('프로그램" + std::to_string(i) + "');</script>";
    }
    return html + "</table></body></html>";
}

// Catches: a page that cannot scroll (its lower rows out of reach), a button whose rectangle does not follow the
// scrolled page (the click lands on another row), and a page function's call lost before window.external.
TEST_F(WebViewPage, ScrollsToTheLastRowAndItsButtonCallsThroughThePagesFunction) {
    m_view->ShowHtml(L"http://127.0.0.1/", TallTable(30), "text/html");
    std::vector<platform::WebViewButton> buttons = m_view->Buttons();
    ASSERT_EQ(buttons.size(), 30u);
    ASSERT_GT(m_view->MaxScrollTop(), 400) << "the table is taller than the view";
    EXPECT_GT(buttons.back().rect.top, 200) << "the last row starts below the view";

    ::SendMessageW(m_view->hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(m_view->ScrollTop(), 60) << "a wheel notch scrolls three lines";
    Key(VK_END);
    EXPECT_EQ(m_view->ScrollTop(), m_view->MaxScrollTop());
    SCROLLINFO bar = {sizeof(bar), SIF_POS};
    ASSERT_TRUE(::GetScrollInfo(m_view->hwnd(), SB_VERT, &bar));
    EXPECT_EQ(bar.nPos, m_view->ScrollTop()) << "the scroll bar shows where the page is";

    buttons = m_view->Buttons();
    const RECT last = buttons.back().rect;
    ASSERT_GE(last.top, 0);
    ASSERT_LE(last.bottom, 200) << "the last row's button is in view";
    ClickAt(last);
    ASSERT_EQ(m_host.external.calls.size(), 1u);
    EXPECT_EQ(m_host.external.calls[0], L"CB_InstallPackage|29|apps|프로그램29");

    Key(VK_HOME);
    EXPECT_EQ(m_view->ScrollTop(), 0);
    ::SendMessageW(m_view->hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_GT(m_view->ScrollTop(), 100);
}

// Catches: Tab that does not reach the lower rows or leaves the focused button out of sight, and Enter that
// presses another button than the focused one.
TEST_F(WebViewPage, TabWalksTheButtonsAndScrollsTheFocusedOneIntoView) {
    m_view->ShowHtml(L"http://127.0.0.1/", TallTable(30), "text/html");
    Key(VK_TAB);
    EXPECT_EQ(m_view->FocusedItem(), 0);
    Key(VK_RETURN);
    ASSERT_EQ(m_host.external.calls.size(), 1u);
    EXPECT_EQ(m_host.external.calls[0], L"CB_InstallPackage|0|apps|프로그램0");
    for (int i = 0; i < 28; ++i) {
        Key(VK_TAB);
    }
    EXPECT_EQ(m_view->FocusedItem(), 28);
    const RECT rect = m_view->Buttons()[28].rect;
    EXPECT_GE(rect.top, 0);
    EXPECT_LE(rect.bottom, 200);
    ::SendMessageW(m_view->hwnd(), WM_KEYDOWN, VK_SPACE, 0);
    EXPECT_EQ(m_host.external.calls.back(), L"CB_InstallPackage|28|apps|프로그램28");
}

// Catches: Backspace taken by the host's filter before the field sees it (a login field whose typing cannot be
// undone), typed text lost, and a password drawn or sent other than as typed.
TEST_F(WebViewPage, TextFieldsAreEditedWithTypedKeysAndBackspace) {
    m_view->ShowHtml(L"http://127.0.0.1/",
                     "<form action=login.asp><input name=id value=ab><input type=password name=pw>"
                     "<input type=submit value=Login></form>",
                     "text/html");
    Key(VK_TAB);
    Type(L"c한");
    EXPECT_EQ(FieldText(0), u"abc한");
    ::SendMessageW(m_view->hwnd(), WM_KEYDOWN, VK_BACK, 0);
    ::SendMessageW(m_view->hwnd(), WM_CHAR, L'\b', 0);
    EXPECT_EQ(FieldText(0), u"abc") << "Backspace takes one character away, once";
    Key(VK_TAB);
    Type(L"p w");
    EXPECT_EQ(FieldText(1), u"p w");
    Key(VK_TAB);
    Key(VK_RETURN);
    EXPECT_TRUE(m_view->IsLoading()) << "the form's submission is a navigation";
    EXPECT_EQ(m_view->Url(), L"http://127.0.0.1/login.asp?id=abc&pw=p%20w");
}

// Catches: alert and confirm that never reach the store's message box, a confirm answer the script does not get,
// and a script error that shows a box (a broken store script must not pester the user).
TEST_F(WebViewPage, AlertAndConfirmUseTheHostsBoxAndErrorsShowNothing) {
    m_host.answer = false;
    m_view->ShowHtml(L"http://127.0.0.1/",
                     "<script>alert('안녕');</script>"
                     "<button onclick=\"if (confirm('설치?')) window.external.CB_InstallPackage('1','a','b');"
                     " else document.getElementById('t').textContent = 'no';\">go</button>"
                     "<button onclick='undefinedFunction()'>broken</button><p id=t>yes</p>",
                     "text/html");
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0], L"alert:안녕");
    ASSERT_TRUE(m_view->Click(0));
    EXPECT_EQ(m_host.messages.back(), L"confirm:설치?");
    EXPECT_TRUE(m_host.external.calls.empty());
    ASSERT_TRUE(m_view->Click(1));
    EXPECT_EQ(m_host.messages.size(), 2u) << "the error shows nothing";
    m_host.answer = true;
    ASSERT_TRUE(m_view->Click(0));
    EXPECT_EQ(m_host.external.calls.size(), 1u);
}

// Catches: setTimeout never run in the view (pages that fill themselves in later stay empty), and a page whose
// script did not end freezing the window for good.
TEST_F(WebViewPage, TimersRunAndAnEndlessScriptIsStopped) {
    m_view->ShowHtml(L"http://127.0.0.1/",
                     "<p id=t>wait</p><script>setTimeout(function () {"
                     " document.getElementById('t').innerHTML = '<button onclick=\"window.external.CB_Close()\">"
                     "done</button>'; }, 50);</script><button onclick='while (true) {}'>spin</button>",
                     "text/html");
    ASSERT_EQ(m_view->Buttons().size(), 1u);
    ASSERT_TRUE(m_view->Click(0));  // stopped after its bound
    Pump(400);
    std::vector<platform::WebViewButton> buttons = m_view->Buttons();
    ASSERT_EQ(buttons.size(), 2u) << "the timer's button was laid out";
    EXPECT_EQ(buttons[0].text, u"done");
    ASSERT_TRUE(m_view->Click(0));
    EXPECT_EQ(m_host.external.calls, std::vector<std::wstring>{L"CB_Close"});
}

// Catches: the view deleted while the page's call is still running in it (the store window closes on a page's
// request), which crashes on the way back out of the script.
TEST_F(WebViewPage, ACallThatClosesTheWindowEndsTheViewSafely) {
    m_view->ShowHtml(L"http://127.0.0.1/",
                     "<button onclick='window.external.CB_Close(); document.title = \"after\";'>close</button>",
                     "text/html");
    m_host.external.onCall = [this] {
        ::DestroyWindow(m_parent);
        m_parent = nullptr;
    };
    ASSERT_TRUE(m_view->Click(0));
    EXPECT_FALSE(::IsWindow(m_parent));
    EXPECT_EQ(m_host.external.calls.size(), 1u);
}

// Catches: a link that does not navigate, and one to another host that the view follows.
TEST_F(WebViewPage, LinksNavigateOnlyOnTheStoresHost) {
    m_view->ShowHtml(L"http://127.0.0.1:18080/list.asp",
                     "<a href='http://elsewhere.example/'>away</a> <a href='detail.asp?id=3'>detail</a>", "text/html");
    Key(VK_TAB);
    Key(VK_RETURN);
    EXPECT_FALSE(m_view->IsLoading()) << "another host is not followed";
    Key(VK_TAB);
    Key(VK_RETURN);
    EXPECT_TRUE(m_view->IsLoading());
    EXPECT_EQ(m_view->Url(), L"http://127.0.0.1:18080/detail.asp?id=3");
}

}  // namespace
