// The hosted browser control's navigation events (DWebBrowserEvents2), handed to the host.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "platform/browser/IBrowserHost.h"

namespace platform {

// How it works: the container advises the control's connection point with this sink; the control calls Invoke
// with the event's DISPID and its arguments (last argument first). Only the top-level frame's events reach the
// host: a frame inside the page completes on its own, and its document says nothing about the page's. The sink
// lives on the heap and is freed by its last Release; the container calls Detach when it lets go.
//
// UI thread only.
class BrowserEvents final : public IDispatch {
public:
    // `browser` is the control's own IDispatch, which the events carry for the top-level frame (borrowed, compared
    // only).
    static BrowserEvents* New(IBrowserHost* host, IUnknown* browser);
    void Detach();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    BrowserEvents(IBrowserHost* host, IUnknown* browser) : m_host(host), m_browser(browser) {}
    ~BrowserEvents() = default;

    bool IsTopLevel(const DISPPARAMS& parameters) const;

    IBrowserHost* m_host;
    IUnknown* m_browser;  // the control's IUnknown identity
    ULONG m_references = 1;
};

}  // namespace platform
