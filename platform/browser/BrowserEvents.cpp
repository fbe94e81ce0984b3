// Navigation events of the hosted browser control.
#include "platform/browser/BrowserEvents.h"

#include <exdisp.h>
#include <exdispid.h>

#include <string>

namespace platform {

namespace {

// The script's `index`-th argument (0 first); the array holds them last first. Null when absent.
const VARIANT* Argument(const DISPPARAMS& parameters, UINT index) {
    if (parameters.rgvarg == nullptr || index >= parameters.cArgs) {
        return nullptr;
    }
    return &parameters.rgvarg[parameters.cArgs - 1 - index];
}

// The argument's text, through one reference if the control passed it by reference (URL is a VARIANT*).
std::wstring TextOf(const VARIANT* value) {
    if (value == nullptr) {
        return std::wstring();
    }
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr) {
        value = value->pvarVal;
    }
    if (value->vt == VT_BSTR && value->bstrVal != nullptr) {
        return std::wstring(value->bstrVal, ::SysStringLen(value->bstrVal));
    }
    if (value->vt == (VT_BYREF | VT_BSTR) && value->pbstrVal != nullptr && *value->pbstrVal != nullptr) {
        return std::wstring(*value->pbstrVal, ::SysStringLen(*value->pbstrVal));
    }
    return std::wstring();
}

long NumberOf(const VARIANT* value) {
    if (value == nullptr) {
        return 0;
    }
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal != nullptr) {
        value = value->pvarVal;
    }
    if (value->vt == VT_I4) {
        return value->lVal;
    }
    return 0;
}

}  // namespace

BrowserEvents* BrowserEvents::New(IBrowserHost* host, IUnknown* browser) {
    return new BrowserEvents(host, browser);
}

void BrowserEvents::Detach() {
    m_host = nullptr;
    m_browser = nullptr;
}

HRESULT BrowserEvents::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG BrowserEvents::AddRef() {
    return ++m_references;
}

ULONG BrowserEvents::Release() {
    const ULONG left = --m_references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT BrowserEvents::GetTypeInfoCount(UINT* count) {
    if (count != nullptr) {
        *count = 0;
    }
    return E_NOTIMPL;
}

HRESULT BrowserEvents::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT BrowserEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

bool BrowserEvents::IsTopLevel(const DISPPARAMS& parameters) const {
    const VARIANT* frame = Argument(parameters, 0);
    if (frame == nullptr || m_browser == nullptr || frame->vt != VT_DISPATCH || frame->pdispVal == nullptr) {
        return false;
    }
    // COM identity: the same object answers IUnknown with the same pointer.
    IUnknown* identity = nullptr;
    if (FAILED(frame->pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) {
        return false;
    }
    const bool isSame = identity == m_browser;
    identity->Release();
    return isSame;
}

HRESULT BrowserEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*, UINT*) {
    if (m_host == nullptr || parameters == nullptr) {
        return S_OK;
    }
    switch (id) {
        case DISPID_NAVIGATECOMPLETE2:
            if (IsTopLevel(*parameters)) {
                m_host->OnNavigateComplete(TextOf(Argument(*parameters, 1)));
            }
            break;
        case DISPID_DOCUMENTCOMPLETE:
            if (IsTopLevel(*parameters)) {
                IWebBrowser2* browser = nullptr;
                IDispatch* document = nullptr;
                const VARIANT* frame = Argument(*parameters, 0);
                if (SUCCEEDED(frame->pdispVal->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&browser)))) {
                    browser->get_Document(&document);
                    browser->Release();
                }
                m_host->OnDocumentComplete(TextOf(Argument(*parameters, 1)), document != nullptr);
                if (document != nullptr) {
                    document->Release();
                }
            }
            break;
        case DISPID_NAVIGATEERROR:
            if (IsTopLevel(*parameters)) {
                m_host->OnNavigateError(TextOf(Argument(*parameters, 1)), NumberOf(Argument(*parameters, 3)));
            }
            break;
        default:
            break;
    }
    return S_OK;
}

}  // namespace platform
