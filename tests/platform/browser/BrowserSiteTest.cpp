// The browser control's site, frame and event sink as COM objects: identity, reference counts and what reaches
// the host, called as the control calls them.
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>
#include <exdispid.h>

#include <string>
#include <vector>

#include "platform/browser/BrowserEvents.h"
#include "platform/browser/BrowserFrame.h"
#include "platform/browser/BrowserSite.h"

namespace {

// A host that records what the control's calls brought.
class RecordingHost final : public platform::IBrowserHost {
public:
    IDispatch* External() override { return external; }
    bool FilterKey(const MSG& message) override { return message.wParam == VK_F5; }
    void ShowPageMessage(HWND, const std::wstring& text) override { messages.push_back(text); }
    bool AskPageQuestion(HWND, const std::wstring& text) override {
        messages.push_back(text);
        return false;
    }
    void OnNavigateComplete(const std::wstring& url) override { navigated.push_back(url); }
    void OnDocumentComplete(const std::wstring& url, bool hasDocument) override {
        completed.push_back(url + (hasDocument ? L" document" : L" none"));
    }
    void OnNavigateError(const std::wstring& url, long status) override {
        errors.push_back(url + L" " + std::to_wstring(status));
    }

    IDispatch* external = nullptr;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> navigated;
    std::vector<std::wstring> completed;
    std::vector<std::wstring> errors;
};

// An IDispatch that only counts: stands for window.external and for the control's frames.
class CountingDispatch final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    ULONG references = 1;
};

class BrowserSiteTest : public testing::Test {
protected:
    void SetUp() override {
        m_window = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        m_host.external = &m_external;
    }
    void TearDown() override { ::DestroyWindow(m_window); }

    HWND m_window = nullptr;
    RecordingHost m_host;
    CountingDispatch m_external;
};

// Catches: interfaces of the site with identities or counts of their own (the control would free the site while
// holding another of its interfaces), a frame handed out without a reference, and a count that never reaches 0.
TEST_F(BrowserSiteTest, AllInterfacesShareOneIdentityAndOneCount) {
    platform::BrowserSite* site = platform::BrowserSite::New(m_window, &m_host);
    IUnknown* identity = nullptr;
    ASSERT_EQ(site->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    const IID interfaces[] = {IID_IOleClientSite, IID_IOleWindow, IID_IOleInPlaceSite, IID_IDocHostUIHandler,
                              IID_IDocHostShowUI};
    ULONG expected = 2;
    for (const IID& iid : interfaces) {
        IUnknown* face = nullptr;
        ASSERT_EQ(site->QueryInterface(iid, reinterpret_cast<void**>(&face)), S_OK);
        IUnknown* again = nullptr;
        ASSERT_EQ(face->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&again)), S_OK);
        EXPECT_EQ(again, identity);
        again->Release();
        EXPECT_EQ(face->Release(), expected) << "a reference of the one count";
    }
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(site->QueryInterface(IID_IDispatch, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);

    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* document = reinterpret_cast<IOleInPlaceUIWindow*>(1);
    RECT position = {};
    RECT clip = {};
    OLEINPLACEFRAMEINFO info = {};
    ASSERT_EQ(site->GetWindowContext(&frame, &document, &position, &clip, &info), S_OK);
    EXPECT_EQ(document, nullptr);
    EXPECT_EQ(position.right, 300);
    EXPECT_EQ(info.hwndFrame, m_window);
    HWND frameWindow = nullptr;
    EXPECT_EQ(frame->GetWindow(&frameWindow), S_OK);
    EXPECT_EQ(frameWindow, m_window);
    EXPECT_EQ(frame->AddRef(), 3u) << "the site's, the one handed out, and this one";
    frame->Release();
    frame->Release();

    EXPECT_EQ(identity->Release(), 1u);
    EXPECT_EQ(site->Release(), 0u);
}

// Catches: a detached site still reaching a host that is gone (window.external of a closed store, keys, boxes),
// and window.external handed out without the reference the control will release.
TEST_F(BrowserSiteTest, ExternalKeysAndMessagesReachTheHostUntilDetached) {
    platform::BrowserSite* site = platform::BrowserSite::New(m_window, &m_host);
    IDispatch* external = nullptr;
    ASSERT_EQ(site->GetExternal(&external), S_OK);
    EXPECT_EQ(external, &m_external);
    EXPECT_EQ(m_external.references, 2u);
    external->Release();
    MSG f5 = {m_window, WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_EQ(site->TranslateAccelerator(&f5, nullptr, 0), S_OK);
    wchar_t text[] = L"안녕";
    LRESULT answer = 7;
    EXPECT_EQ(site->ShowMessage(m_window, text, nullptr, MB_OK, nullptr, 0, &answer), S_OK);
    EXPECT_EQ(answer, 7);
    ASSERT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_host.messages[0], L"안녕");

    site->Detach();
    EXPECT_EQ(site->GetExternal(&external), S_FALSE);
    EXPECT_EQ(external, nullptr);
    EXPECT_EQ(site->TranslateAccelerator(&f5, nullptr, 0), S_FALSE);
    EXPECT_EQ(site->ShowMessage(m_window, text, nullptr, MB_OK, nullptr, 0, &answer), S_OK);
    EXPECT_EQ(m_host.messages.size(), 1u);
    EXPECT_EQ(m_external.references, 1u);
    EXPECT_EQ(site->Release(), 0u);
}

// The arguments of one event as the control passes them: last first, the URL a VARIANT by reference.
struct EventArguments {
    explicit EventArguments(IDispatch* frame, const wchar_t* url, long status = 0) {
        m_url.vt = VT_BSTR;
        m_url.bstrVal = ::SysAllocString(url);
        m_status.vt = VT_I4;
        m_status.lVal = status;
        // NavigateError: pDisp, URL, TargetFrameName, StatusCode, Cancel; the others use the first two.
        m_values[4].vt = VT_DISPATCH;
        m_values[4].pdispVal = frame;
        m_values[3].vt = VT_BYREF | VT_VARIANT;
        m_values[3].pvarVal = &m_url;
        m_values[2].vt = VT_BYREF | VT_VARIANT;
        m_values[2].pvarVal = &m_empty;
        m_values[1].vt = VT_BYREF | VT_VARIANT;
        m_values[1].pvarVal = &m_status;
        m_values[0].vt = VT_BYREF | VT_BOOL;
        m_values[0].pboolVal = &m_cancel;
    }
    ~EventArguments() { ::VariantClear(&m_url); }
    DISPPARAMS Params(UINT count) { return DISPPARAMS{m_values + (5 - count), nullptr, count, 0}; }

    VARIANT m_values[5] = {};
    VARIANT m_url = {};
    VARIANT m_empty = {};
    VARIANT m_status = {};
    VARIANT_BOOL m_cancel = VARIANT_FALSE;
};

// Catches: events of a frame inside the page taken for the page's own (a banner's frame completing would end
// the wait for the page), the URL lost because it comes by reference, and a navigation error's status lost.
TEST_F(BrowserSiteTest, OnlyTheTopLevelFramesEventsReachTheHost) {
    CountingDispatch browser;
    CountingDispatch innerFrame;
    platform::BrowserEvents* events = platform::BrowserEvents::New(&m_host, &browser);
    EventArguments top(&browser, L"http://127.0.0.1/", 404);
    EventArguments inner(&innerFrame, L"http://127.0.0.1/banner");
    DISPPARAMS two = top.Params(2);
    DISPPARAMS innerTwo = inner.Params(2);
    DISPPARAMS five = top.Params(5);
    EXPECT_EQ(events->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr),
              S_OK);
    events->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &innerTwo, nullptr, nullptr, nullptr);
    events->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &innerTwo, nullptr, nullptr, nullptr);
    events->Invoke(DISPID_DOCUMENTCOMPLETE, IID_NULL, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr);
    events->Invoke(DISPID_NAVIGATEERROR, IID_NULL, 0, DISPATCH_METHOD, &five, nullptr, nullptr, nullptr);
    EXPECT_EQ(m_host.navigated, std::vector<std::wstring>{L"http://127.0.0.1/"});
    // The stand-in frame is no IWebBrowser2, so it holds no document.
    EXPECT_EQ(m_host.completed, std::vector<std::wstring>{L"http://127.0.0.1/ none"});
    EXPECT_EQ(m_host.errors, std::vector<std::wstring>{L"http://127.0.0.1/ 404"});
    EXPECT_EQ(browser.references, 1u) << "identity checks release what they ask for";

    events->Detach();
    events->Invoke(DISPID_NAVIGATECOMPLETE2, IID_NULL, 0, DISPATCH_METHOD, &two, nullptr, nullptr, nullptr);
    EXPECT_EQ(m_host.navigated.size(), 1u);
    void* sink = nullptr;
    ASSERT_EQ(events->QueryInterface(DIID_DWebBrowserEvents2, &sink), S_OK);
    EXPECT_EQ(static_cast<IDispatch*>(sink)->Release(), 1u);
    EXPECT_EQ(events->Release(), 0u);
}

}  // namespace
