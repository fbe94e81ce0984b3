// Per-thread COM initialisation that undoes exactly what it did.
#pragma once

#include <objbase.h>

namespace platform {

// Construct on the thread that uses COM, and destroy on that same thread after every COM object it made is
// released. Asks for the multithreaded apartment; a thread already in a single-threaded apartment answers
// RPC_E_CHANGED_MODE, and COM is then usable in the caller's apartment but not ours to uninitialise. Only a
// successful call (S_OK, or S_FALSE when this thread was already initialised) is balanced by CoUninitialize.
class ComInit {
public:
    explicit ComInit(DWORD concurrency = COINIT_MULTITHREADED) : m_result(::CoInitializeEx(nullptr, concurrency)) {}
    ~ComInit() {
        if (SUCCEEDED(m_result)) {
            ::CoUninitialize();
        }
    }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;

    HRESULT result() const { return m_result; }
    // True when COM can be used on this thread, in whichever apartment it is in.
    bool IsUsable() const { return SUCCEEDED(m_result) || m_result == RPC_E_CHANGED_MODE; }

private:
    HRESULT m_result;
};

}  // namespace platform
