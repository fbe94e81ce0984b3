// Hosting the system's browser control.
#include "platform/browser/BrowserControl.h"

#include <mshtml.h>
#include <ocidl.h>

#include "platform/dom/Bstr.h"
#include "platform/dom/HResult.h"

namespace platform {

namespace {

// The last error as an HRESULT that is never a success, even when the failed call set no error.
HRESULT HResultFromLastError() {
    const DWORD code = ::GetLastError();
    return code != 0 ? HRESULT_FROM_WIN32(code) : E_FAIL;
}

}  // namespace

std::unique_ptr<BrowserControl> BrowserControl::Create(HINSTANCE instance, HWND parent, int controlId, const RECT& rect,
                                                       IBrowserHost* host, HRESULT* failure) {
    std::unique_ptr<BrowserControl> control(new BrowserControl());
    WNDCLASSEXW windowClass = {};
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kBrowserHostClass;
    HRESULT hr = S_OK;
    if (!control->WindowBase::Create(windowClass, 0, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP, L"",
                                     rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)))) {
        hr = HResultFromLastError();
    } else {
        hr = control->Embed(host);
    }
    if (failure != nullptr) {
        *failure = hr;
    }
    if (FAILED(hr)) {
        return nullptr;
    }
    return control;
}

HRESULT BrowserControl::ProbeHtmlDocument() {
    ComPtr<IHTMLDocument2> document;
    return ::CoCreateInstance(CLSID_HTMLDocument, nullptr, CLSCTX_INPROC_SERVER, IID_IHTMLDocument2,
                              document.putVoid());
}

BrowserControl::~BrowserControl() {
    Close();
}

HRESULT BrowserControl::Embed(IBrowserHost* host) {
    RETURN_IF_FAILED(
        ::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, m_object.putVoid()));
    m_site = BrowserSite::New(hwnd(), host);
    RETURN_IF_FAILED(m_object->SetClientSite(m_site));
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    RETURN_IF_FAILED(m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, m_site, 0, hwnd(), &client));
    RETURN_IF_FAILED(m_object.QueryTo(IID_IWebBrowser2, m_browser));

    ComPtr<IConnectionPointContainer> points;
    RETURN_IF_FAILED(m_object.QueryTo(IID_IConnectionPointContainer, points));
    ComPtr<IConnectionPoint> point;
    RETURN_IF_FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()));
    ComPtr<IUnknown> identity;
    RETURN_IF_FAILED(m_object.QueryTo(IID_IUnknown, identity));
    m_events = BrowserEvents::New(host, identity.get());
    return point->Advise(m_events, &m_eventsCookie);
}

void BrowserControl::Close() {
    if (m_events != nullptr) {
        m_events->Detach();
        ComPtr<IConnectionPointContainer> points;
        ComPtr<IConnectionPoint> point;
        if (m_eventsCookie != 0 && SUCCEEDED(m_object.QueryTo(IID_IConnectionPointContainer, points)) &&
            SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, point.put()))) {
            point->Unadvise(m_eventsCookie);
        }
        m_eventsCookie = 0;
        m_events->Release();
        m_events = nullptr;
    }
    m_browser.reset();
    if (m_object) {
        ComPtr<IOleInPlaceObject> inPlace;
        if (SUCCEEDED(m_object.QueryTo(IID_IOleInPlaceObject, inPlace))) {
            inPlace->InPlaceDeactivate();
        }
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
        m_object.reset();
    }
    if (m_site != nullptr) {
        m_site->Detach();
        m_site->Release();
        m_site = nullptr;
    }
}

HRESULT BrowserControl::Navigate(const std::wstring& url) {
    if (!m_browser) {
        return E_UNEXPECTED;
    }
    Bstr address(url);
    VARIANT target = {};
    target.vt = VT_BSTR;
    target.bstrVal = address.get();
    VARIANT empty = {};
    return m_browser->Navigate2(&target, &empty, &empty, &empty, &empty);
}

bool BrowserControl::HasDocument() const {
    if (!m_browser) {
        return false;
    }
    ComPtr<IDispatch> document;
    return SUCCEEDED(m_browser->get_Document(document.put())) && document;
}

std::wstring BrowserControl::LocationUrl() const {
    Bstr location;
    if (!m_browser || FAILED(m_browser->get_LocationURL(location.put()))) {
        return std::wstring();
    }
    return location.str();
}

bool BrowserControl::TranslateKey(MSG& message) {
    if (!m_object || message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd))) {
        return false;
    }
    ComPtr<IOleInPlaceActiveObject> active;
    return SUCCEEDED(m_object.QueryTo(IID_IOleInPlaceActiveObject, active)) &&
           active->TranslateAccelerator(&message) == S_OK;
}

ComPtr<IOleClientSite> BrowserControl::Site() const {
    ComPtr<IOleClientSite> site;
    if (m_site != nullptr) {
        m_site->AddRef();
        site = ComPtr<IOleClientSite>::Attach(m_site);
    }
    return site;
}

void BrowserControl::FitControl() {
    ComPtr<IOleInPlaceObject> inPlace;
    if (!m_object || FAILED(m_object.QueryTo(IID_IOleInPlaceObject, inPlace))) {
        return;
    }
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    inPlace->SetObjectRects(&client, &client);
}

LRESULT BrowserControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            FitControl();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the control paints all of it
        case WM_DESTROY:
            Close();
            break;
        default:
            break;
    }
    return WindowBase::WndProc(message, wParam, lParam);
}

}  // namespace platform
