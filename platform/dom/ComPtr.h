// Counted reference to a COM object: releases on destruction, no operator& so a held pointer is never leaked.
#pragma once

#include <unknwn.h>

#include <utility>

namespace platform {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns (no AddRef).
    static ComPtr Attach(T* object) {
        ComPtr result;
        result.m_object = object;
        return result;
    }
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) : m_object(other.m_object) {
        if (m_object) {
            m_object->AddRef();
        }
    }
    ComPtr& operator=(const ComPtr& other) {
        ComPtr copy(other);
        std::swap(m_object, copy.m_object);
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : m_object(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            m_object = other.release();
        }
        return *this;
    }

    T* get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

    T* release() { return std::exchange(m_object, nullptr); }
    void reset() {
        if (T* old = std::exchange(m_object, nullptr)) {
            old->Release();
        }
    }
    // For out-parameters: drops what is held and hands out the slot.
    T** put() {
        reset();
        return &m_object;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

    // Asks the held object for another interface; `target` is empty on failure.
    template <typename U>
    HRESULT QueryTo(REFIID iid, ComPtr<U>& target) const {
        if (!m_object) {
            target.reset();
            return E_POINTER;
        }
        return m_object->QueryInterface(iid, target.putVoid());
    }

private:
    T* m_object = nullptr;
};

}  // namespace platform
