// The hosted browser control's site.
#include "platform/browser/BrowserSite.h"

#include <string>

namespace platform {

BrowserSite* BrowserSite::New(HWND window, IBrowserHost* host) {
    return new BrowserSite(window, host);
}

BrowserSite::BrowserSite(HWND window, IBrowserHost* host)
    : m_window(window), m_host(host), m_frame(BrowserFrame::New(::GetAncestor(window, GA_ROOT))) {}

BrowserSite::~BrowserSite() {
    m_frame->Release();
}

void BrowserSite::Detach() {
    m_host = nullptr;
}

HRESULT BrowserSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
        *object = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
        *object = static_cast<IOleInPlaceSite*>(this);
    } else if (IsEqualIID(iid, IID_IDocHostUIHandler)) {
        *object = static_cast<IDocHostUIHandler*>(this);
    } else if (IsEqualIID(iid, IID_IDocHostShowUI)) {
        *object = static_cast<IDocHostShowUI*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG BrowserSite::AddRef() {
    return ++m_references;
}

ULONG BrowserSite::Release() {
    const ULONG left = --m_references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT BrowserSite::SaveObject() {
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker != nullptr) {
        *moniker = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetContainer(IOleContainer** container) {
    if (container != nullptr) {
        *container = nullptr;
    }
    return E_NOINTERFACE;
}

HRESULT BrowserSite::ShowObject() {
    return S_OK;
}

HRESULT BrowserSite::OnShowWindow(BOOL) {
    return S_OK;
}

HRESULT BrowserSite::RequestNewObjectLayout() {
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = m_window;
    return S_OK;
}

HRESULT BrowserSite::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT BrowserSite::CanInPlaceActivate() {
    return S_OK;
}

HRESULT BrowserSite::OnInPlaceActivate() {
    return S_OK;
}

HRESULT BrowserSite::OnUIActivate() {
    return S_OK;
}

HRESULT BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                      LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr || frameInfo == nullptr) {
        return E_POINTER;
    }
    m_frame->AddRef();
    *frame = m_frame;
    *document = nullptr;  // no document window between the control and the frame
    ::GetClientRect(m_window, position);
    *clip = *position;
    frameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = ::GetAncestor(m_window, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

HRESULT BrowserSite::Scroll(SIZE) {
    return E_NOTIMPL;
}

HRESULT BrowserSite::OnUIDeactivate(BOOL) {
    return S_OK;
}

HRESULT BrowserSite::OnInPlaceDeactivate() {
    return S_OK;
}

HRESULT BrowserSite::DiscardUndoState() {
    return E_NOTIMPL;
}

HRESULT BrowserSite::DeactivateAndUndo() {
    return E_NOTIMPL;
}

HRESULT BrowserSite::OnPosRectChange(LPCRECT) {
    return S_OK;  // the container sizes the control with its window
}

HRESULT BrowserSite::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
    return S_OK;  // handled: the page gets no context menu
}

HRESULT BrowserSite::GetHostInfo(DOCHOSTUIINFO* info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT BrowserSite::ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                            IOleInPlaceUIWindow*) {
    return S_OK;
}

HRESULT BrowserSite::HideUI() {
    return S_OK;
}

HRESULT BrowserSite::UpdateUI() {
    return S_OK;
}

HRESULT BrowserSite::EnableModeless(BOOL) {
    return E_NOTIMPL;
}

HRESULT BrowserSite::OnDocWindowActivate(BOOL) {
    return E_NOTIMPL;
}

HRESULT BrowserSite::OnFrameWindowActivate(BOOL) {
    return E_NOTIMPL;
}

HRESULT BrowserSite::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) {
    return E_NOTIMPL;
}

HRESULT BrowserSite::TranslateAccelerator(LPMSG message, const GUID*, DWORD) {
    if (message == nullptr || m_host == nullptr) {
        return S_FALSE;
    }
    return m_host->FilterKey(*message) ? S_OK : S_FALSE;
}

HRESULT BrowserSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
    if (key != nullptr) {
        *key = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetDropTarget(IDropTarget*, IDropTarget** replacement) {
    if (replacement != nullptr) {
        *replacement = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT BrowserSite::GetExternal(IDispatch** external) {
    if (external == nullptr) {
        return E_POINTER;
    }
    *external = m_host != nullptr ? m_host->External() : nullptr;
    if (*external == nullptr) {
        return S_FALSE;
    }
    (*external)->AddRef();
    return S_OK;
}

HRESULT BrowserSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
    if (translated != nullptr) {
        *translated = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT BrowserSite::FilterDataObject(IDataObject*, IDataObject** replacement) {
    if (replacement != nullptr) {
        *replacement = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT BrowserSite::ShowMessage(HWND owner, LPOLESTR text, LPOLESTR, DWORD, LPOLESTR, DWORD, LRESULT*) {
    // The result is left as it is: the page's alert needs no answer.
    if (m_host != nullptr) {
        m_host->ShowPageMessage(owner, text != nullptr ? std::wstring(text) : std::wstring());
    }
    return S_OK;
}

HRESULT BrowserSite::ShowHelp(HWND, LPOLESTR, UINT, DWORD, POINT, IDispatch*) {
    return S_OK;  // handled: no help is shown
}

}  // namespace platform
