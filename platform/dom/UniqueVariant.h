// Owned VARIANT: cleared on destruction, so a BSTR or interface inside it is never leaked.
#pragma once

#include <oleauto.h>

#include <string>

namespace platform {

class UniqueVariant {
public:
    UniqueVariant() { ::VariantInit(&m_value); }
    // A string variant, the form DOM load and save take a file path in.
    explicit UniqueVariant(const std::wstring& text) {
        ::VariantInit(&m_value);
        m_value.vt = VT_BSTR;
        m_value.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    explicit UniqueVariant(bool flag) {
        ::VariantInit(&m_value);
        m_value.vt = VT_BOOL;
        m_value.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    }
    ~UniqueVariant() { ::VariantClear(&m_value); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    const VARIANT& get() const { return m_value; }
    // For out-parameters: clears what is held and hands out the slot.
    VARIANT* put() {
        ::VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

}  // namespace platform
