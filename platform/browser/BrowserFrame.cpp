// The hosted browser control's in-place frame.
#include "platform/browser/BrowserFrame.h"

namespace platform {

BrowserFrame* BrowserFrame::New(HWND window) {
    return new BrowserFrame(window);
}

HRESULT BrowserFrame::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceUIWindow) ||
        IsEqualIID(iid, IID_IOleInPlaceFrame)) {
        *object = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG BrowserFrame::AddRef() {
    return ++m_references;
}

ULONG BrowserFrame::Release() {
    const ULONG left = --m_references;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT BrowserFrame::GetWindow(HWND* window) {
    if (window == nullptr) {
        return E_POINTER;
    }
    *window = m_window;
    return S_OK;
}

HRESULT BrowserFrame::ContextSensitiveHelp(BOOL) {
    return E_NOTIMPL;
}

HRESULT BrowserFrame::GetBorder(LPRECT) {
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT BrowserFrame::RequestBorderSpace(LPCBORDERWIDTHS) {
    return INPLACE_E_NOTOOLSPACE;
}

HRESULT BrowserFrame::SetBorderSpace(LPCBORDERWIDTHS) {
    return S_OK;
}

HRESULT BrowserFrame::SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) {
    // The container asks the control for its active object itself when it routes keys.
    return S_OK;
}

HRESULT BrowserFrame::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) {
    return S_OK;
}

HRESULT BrowserFrame::SetMenu(HMENU, HOLEMENU, HWND) {
    return S_OK;
}

HRESULT BrowserFrame::RemoveMenus(HMENU) {
    return S_OK;
}

HRESULT BrowserFrame::SetStatusText(LPCOLESTR) {
    return S_OK;
}

HRESULT BrowserFrame::EnableModeless(BOOL) {
    return S_OK;
}

HRESULT BrowserFrame::TranslateAccelerator(LPMSG, WORD) {
    return S_FALSE;  // the frame has no accelerators of its own
}

}  // namespace platform
