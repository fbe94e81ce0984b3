// window.external of the store page.
#include "agent/browser/ImpIDispatch.h"

#include <cwchar>

namespace {

struct Name {
    const wchar_t* text;
    DISPID id;
};
constexpr Name kNames[] = {
    {L"CB_IsOurCustomBrowser", CImpIDispatch::kIsOurCustomBrowser},
    {L"CB_UpdatePackage", CImpIDispatch::kUpdatePackage},
    {L"CB_InstallPackage", CImpIDispatch::kInstallPackage},
    {L"CB_Close", CImpIDispatch::kClose},
};

void SetTrue(VARIANT* result) {
    if (result != nullptr) {
        ::VariantClear(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    }
}

// The script's argument `index` (0 is the first): the arguments sit in reverse order. Empty for a missing or
// non-string argument.
std::wstring StringArgument(const DISPPARAMS* parameters, UINT index) {
    if (parameters == nullptr || index >= parameters->cArgs || parameters->rgvarg == nullptr) {
        return std::wstring();
    }
    const VARIANT& value = parameters->rgvarg[parameters->cArgs - 1 - index];
    if (value.vt != VT_BSTR || value.bstrVal == nullptr) {
        return std::wstring();
    }
    return std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal));
}

bool HasThreeStrings(const DISPPARAMS* parameters) {
    if (parameters == nullptr || parameters->cArgs < 3 || parameters->rgvarg == nullptr) {
        return false;
    }
    for (UINT i = 0; i < 3; ++i) {
        if (parameters->rgvarg[parameters->cArgs - 1 - i].vt != VT_BSTR) {
            return false;
        }
    }
    return true;
}

}  // namespace

HRESULT CImpIDispatch::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IUnknown)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CImpIDispatch::AddRef() {
    return ++m_references;
}

ULONG CImpIDispatch::Release() {
    // Never frees: the agent owns the object for its whole life.
    return m_references > 1 ? --m_references : 1;
}

HRESULT CImpIDispatch::GetTypeInfoCount(UINT*) {
    return E_NOTIMPL;
}

HRESULT CImpIDispatch::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT CImpIDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (names == nullptr || ids == nullptr) {
        return E_POINTER;
    }
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        for (const Name& name : kNames) {
            if (names[i] != nullptr && std::wcscmp(names[i], name.text) == 0) {
                ids[i] = name.id;
            }
        }
        if (ids[i] == DISPID_UNKNOWN) {
            result = DISP_E_UNKNOWNNAME;
        }
    }
    return result;
}

HRESULT CImpIDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*,
                              UINT*) {
    if (id < kIsOurCustomBrowser || id > kClose) {
        return S_OK;
    }
    if ((flags & DISPATCH_PROPERTYGET) != 0) {
        SetTrue(result);
    }
    if ((flags & DISPATCH_METHOD) == 0) {
        return S_OK;
    }
    if ((id == kUpdatePackage || id == kInstallPackage) && m_requests != nullptr && HasThreeStrings(parameters)) {
        std::wstring index = StringArgument(parameters, 0);
        std::wstring directory = StringArgument(parameters, 1);
        std::wstring name = StringArgument(parameters, 2);
        if (id == kUpdatePackage) {
            m_requests->UpdatePackage(index, directory, name);
        } else {
            m_requests->InstallPackage(index, directory, name);
        }
    } else if (id == kIsOurCustomBrowser) {
        SetTrue(result);
    }
    return S_OK;
}
