// window.external of the store page: the object through which the page asks the agent to install or update.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

// What the store page may ask for; the three texts are the script's arguments, unchecked.
class IStoreRequests {
public:
    virtual ~IStoreRequests() = default;
    virtual void UpdatePackage(const std::wstring& index, const std::wstring& storeDirectory,
                               const std::wstring& packageName) = 0;
    virtual void InstallPackage(const std::wstring& index, const std::wstring& storeDirectory,
                                const std::wstring& packageName) = 0;
};

// How it works: four names map to fixed DISPIDs. A property read of any of them gives true (so a page can test
// for the methods); a method call of CB_UpdatePackage or CB_InstallPackage with at least three string arguments
// goes to the requests object, when one is set. The object lives as long as the agent: Release only counts.
//
// UI thread only.
class CImpIDispatch final : public IDispatch {
public:
    enum : DISPID { kIsOurCustomBrowser = 1, kUpdatePackage = 2, kInstallPackage = 3, kClose = 4 };

    // Null while no store page is open: calls then do nothing.
    void SetRequests(IStoreRequests* requests) { m_requests = requests; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

private:
    IStoreRequests* m_requests = nullptr;
    ULONG m_references = 1;
};
