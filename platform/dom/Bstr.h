// Owned BSTR for COM calls that take or hand back strings.
#pragma once

#include <oleauto.h>

#include <string>
#include <utility>

namespace platform {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : m_text(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : m_text(std::exchange(other.m_text, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            ::SysFreeString(m_text);
            m_text = std::exchange(other.m_text, nullptr);
        }
        return *this;
    }

    BSTR get() const { return m_text; }
    // For out-parameters: frees what is held and hands out the slot.
    BSTR* put() {
        ::SysFreeString(std::exchange(m_text, nullptr));
        return &m_text;
    }
    // A null BSTR is the empty string by COM convention.
    std::wstring str() const { return m_text ? std::wstring(m_text, ::SysStringLen(m_text)) : std::wstring(); }

private:
    BSTR m_text = nullptr;
};

}  // namespace platform
