// COM initialisation must be undone exactly once by whoever did it, or a thread's apartment leaks or vanishes.
#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

#include "platform/dom/ComInit.h"

namespace {

template <typename Body>
void OnFreshThread(Body body) {
    std::thread worker(body);
    worker.join();
}

TEST(ComInit, UninitialisesWhatItInitialised) {
    OnFreshThread([] {
        {
            platform::ComInit com;
            EXPECT_EQ(com.result(), S_OK);
            EXPECT_TRUE(com.IsUsable());
        }
        // A leaked multithreaded apartment would refuse this with RPC_E_CHANGED_MODE.
        HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(hr, S_OK);
        if (SUCCEEDED(hr)) {
            ::CoUninitialize();
        }
    });
}

TEST(ComInit, LeavesTheCallersSingleThreadedApartmentInPlace) {
    OnFreshThread([] {
        ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
        {
            platform::ComInit com;
            EXPECT_EQ(com.result(), RPC_E_CHANGED_MODE);
            EXPECT_TRUE(com.IsUsable());
        }
        // Still initialised by the caller: S_FALSE, not S_OK.
        HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        EXPECT_EQ(hr, S_FALSE);
        if (SUCCEEDED(hr)) {
            ::CoUninitialize();
        }
        ::CoUninitialize();
    });
}

}  // namespace
