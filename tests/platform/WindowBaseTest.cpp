// Window base: messages reach the object that created the window, and nothing reaches it after destruction.
#include <gtest/gtest.h>

#include <vector>

#include "platform/UniqueHandle.h"
#include "platform/WindowBase.h"

namespace {

class RecordingWindow : public platform::WindowBase {
public:
    bool CreateHidden(const wchar_t* className) {
        WNDCLASSEXW windowClass = {};
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        return Create(windowClass, 0, WS_OVERLAPPED, L"", 0, 0, 10, 10);
    }

    std::vector<UINT> received;
    int finalMessages = 0;
    bool throwOnUser = false;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        received.push_back(message);
        if (message == WM_USER + 7) {
            if (throwOnUser) {
                throw 42;
            }
            return static_cast<LRESULT>(wParam + lParam);
        }
        return platform::WindowBase::WndProc(message, wParam, lParam);
    }
    void OnFinalMessage() override { ++finalMessages; }
};

bool Contains(const std::vector<UINT>& messages, UINT message) {
    for (UINT m : messages) {
        if (m == message) {
            return true;
        }
    }
    return false;
}

TEST(WindowBase, ForwardsMessagesToTheCreatingObject) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHidden(L"KelvoTestForward"));
    EXPECT_TRUE(Contains(window.received, WM_CREATE));
    EXPECT_EQ(window.hwnd().Send(WM_USER + 7, 40, 2), 42);
}

TEST(WindowBase, DetachesAtNcDestroyAndReportsFinalMessageOnce) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHidden(L"KelvoTestDetach"));
    HWND raw = window.hwnd();
    ASSERT_TRUE(::DestroyWindow(raw));
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_FALSE(window.hwnd());
    EXPECT_TRUE(Contains(window.received, WM_NCDESTROY));
}

TEST(WindowBase, SecondWindowOfAClassReusesTheRegistration) {
    RecordingWindow first;
    RecordingWindow second;
    ASSERT_TRUE(first.CreateHidden(L"KelvoTestShared"));
    ASSERT_TRUE(second.CreateHidden(L"KelvoTestShared"));
    EXPECT_EQ(first.hwnd().Send(WM_USER + 7, 1, 1), 2);
    EXPECT_EQ(second.hwnd().Send(WM_USER + 7, 2, 2), 4);
}

TEST(WindowBase, ExceptionInHandlerDoesNotUnwindThroughWindows) {
    RecordingWindow window;
    ASSERT_TRUE(window.CreateHidden(L"KelvoTestThrow"));
    window.throwOnUser = true;
    EXPECT_EQ(window.hwnd().Send(WM_USER + 7, 1, 1), 0);
    EXPECT_TRUE(window.hwnd().IsWindow());
}

TEST(WindowBase, ObjectDestroyedFirstLeavesNoDanglingPointer) {
    HWND raw = nullptr;
    {
        RecordingWindow window;
        ASSERT_TRUE(window.CreateHidden(L"KelvoTestScope"));
        raw = window.hwnd();
    }
    EXPECT_FALSE(::IsWindow(raw));
}

struct CountingTraits {
    using Handle = int;
    static int closed;
    static Handle Invalid() { return -1; }
    static void Close(Handle) { ++closed; }
};
int CountingTraits::closed = 0;

TEST(UniqueHandle, ClosesExactlyOnceAcrossMovesAndResets) {
    CountingTraits::closed = 0;
    {
        platform::UniqueHandle<CountingTraits> a(3);
        platform::UniqueHandle<CountingTraits> b(std::move(a));
        EXPECT_FALSE(a);
        platform::UniqueHandle<CountingTraits> c(5);
        c = std::move(b);  // closes 5
        EXPECT_EQ(CountingTraits::closed, 1);
        *c.put() = 7;  // closes 3
        EXPECT_EQ(CountingTraits::closed, 2);
        EXPECT_EQ(c.release(), 7);
    }
    EXPECT_EQ(CountingTraits::closed, 2);
}

}  // namespace
