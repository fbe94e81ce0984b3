// The site of the hosted browser control: client site, in-place site and the document host's UI handlers.
#pragma once

#include <windows.h>
#include <mshtmhst.h>
#include <ole2.h>

#include "platform/browser/BrowserFrame.h"
#include "platform/browser/IBrowserHost.h"

namespace platform {

// How it works: one COM object, one reference count for all four interfaces (the control asks the client site
// for the others with QueryInterface). It lives on the heap and is freed by its last Release; New hands out the
// first reference. The control may hold the site a little past its close, so the container calls Detach when it
// lets go: from then on the site forwards nothing to the host. The site is the control's view of the host
// window `window`: the in-place window, the frame (the dialog around it), window.external, the keys the page
// must not get and the page's messages.
//
// UI thread only; the host is borrowed and must outlive the site or be detached first.
class BrowserSite final : public IOleClientSite,
                          public IOleInPlaceSite,
                          public IDocHostUIHandler,
                          public IDocHostShowUI {
public:
    static BrowserSite* New(HWND window, IBrowserHost* host);
    void Detach();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL isShown) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL isUndoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT position) override;
    // IDocHostUIHandler
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD id, POINT* point, IUnknown* commands, IDispatch* object) override;
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO* info) override;
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* commands,
                                     IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
    HRESULT STDMETHODCALLTYPE HideUI() override;
    HRESULT STDMETHODCALLTYPE UpdateUI() override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL activate) override;
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL isFrame) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, const GUID* group, DWORD command) override;
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget* target, IDropTarget** replacement) override;
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override;
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD translate, LPWSTR url, LPWSTR* translated) override;
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject* data, IDataObject** replacement) override;
    // IDocHostShowUI
    HRESULT STDMETHODCALLTYPE ShowMessage(HWND owner, LPOLESTR text, LPOLESTR caption, DWORD type, LPOLESTR helpFile,
                                          DWORD helpContext, LRESULT* result) override;
    HRESULT STDMETHODCALLTYPE ShowHelp(HWND owner, LPOLESTR helpFile, UINT command, DWORD data, POINT point,
                                       IDispatch* object) override;

private:
    BrowserSite(HWND window, IBrowserHost* host);
    ~BrowserSite();

    HWND m_window;
    IBrowserHost* m_host;
    BrowserFrame* m_frame;  // one reference of ours
    ULONG m_references = 1;
};

}  // namespace platform
