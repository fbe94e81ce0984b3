// Frame window: a hidden frame gets its typed handlers with the right arguments and keeps its class parameters.
#include <gtest/gtest.h>

#include <vector>

#include "platform/framework/FrameWindow.h"

namespace {

constexpr UINT_PTR kTickTimer = 7;
constexpr UINT_PTR kGuardTimer = 99;

class RecordingFrame : public platform::FrameWindow {
public:
    bool refuseCreate = false;
    std::wstring createdTitle;
    int creates = 0;
    int destroys = 0;
    struct Command {
        UINT id;
        UINT code;
        HWND control;
    };
    std::vector<Command> commands;
    std::vector<UINT_PTR> timers;

    bool CreateHidden(const wchar_t* className, UINT iconId = 0) {
        platform::FrameClass frameClass;
        frameClass.className = className;
        frameClass.iconId = iconId;
        return CreateFrame(::GetModuleHandleW(nullptr), frameClass, L"정보 창", WS_OVERLAPPEDWINDOW);
    }
    void Tick(UINT intervalMs) { StartTimer(kTickTimer, intervalMs); }

protected:
    bool OnCreate(const CREATESTRUCTW& create) override {
        ++creates;
        createdTitle = create.lpszName != nullptr ? create.lpszName : L"";
        return !refuseCreate;
    }
    void OnDestroy() override { ++destroys; }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        commands.push_back(Command{id, code, control});
        return id != 500;
    }
    void OnTimer(UINT_PTR timerId) override {
        timers.push_back(timerId);
        StopTimer(timerId);
        ::PostQuitMessage(0);
    }
};

// Runs this thread's messages until WM_QUIT; a guard timer quits too, so a lost message fails instead of hanging.
void RunUntilQuit(HWND hwnd) {
    ::SetTimer(hwnd, kGuardTimer, 5000, nullptr);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&msg);
    }
    ::KillTimer(hwnd, kGuardTimer);
}

TEST(FrameWindow, HiddenFrameGetsOnCreateWithItsTitleAndStaysHidden) {
    RecordingFrame frame;
    ASSERT_TRUE(frame.CreateHidden(L"KelvoFwCreate"));
    EXPECT_EQ(frame.creates, 1);
    EXPECT_EQ(frame.createdTitle, L"정보 창");
    EXPECT_FALSE(frame.hwnd().IsVisible());
    EXPECT_EQ(platform::Hwnd::Find(L"KelvoFwCreate").get(), frame.hwnd().get());
}

TEST(FrameWindow, RefusedCreateFailsWithoutDestroyHandlerOrWindow) {
    RecordingFrame frame;
    frame.refuseCreate = true;
    EXPECT_FALSE(frame.CreateHidden(L"KelvoFwRefuse"));
    EXPECT_FALSE(frame.hwnd());
    EXPECT_FALSE(platform::Hwnd::Find(L"KelvoFwRefuse"));
}

TEST(FrameWindow, CommandsArriveCrackedAndUnhandledOnesGoToTheDefault) {
    RecordingFrame frame;
    ASSERT_TRUE(frame.CreateHidden(L"KelvoFwCommand"));
    HWND control = frame.hwnd();  // any window handle will do as the "control"
    frame.hwnd().Send(WM_COMMAND, MAKEWPARAM(32779, 0), 0);
    frame.hwnd().Send(WM_COMMAND, MAKEWPARAM(1004, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    EXPECT_EQ(frame.hwnd().Send(WM_COMMAND, MAKEWPARAM(500, 1), 0), 0);
    ASSERT_EQ(frame.commands.size(), 3u);
    EXPECT_EQ(frame.commands[0].id, 32779u);  // a tray-menu id above 32767 must not come out negative
    EXPECT_EQ(frame.commands[0].code, 0u);
    EXPECT_EQ(frame.commands[0].control, nullptr);
    EXPECT_EQ(frame.commands[1].id, 1004u);
    EXPECT_EQ(frame.commands[1].code, static_cast<UINT>(BN_CLICKED));
    EXPECT_EQ(frame.commands[1].control, control);
    EXPECT_EQ(frame.commands[2].code, 1u);
}

TEST(FrameWindow, TimerReachesOnTimerWithItsId) {
    RecordingFrame frame;
    ASSERT_TRUE(frame.CreateHidden(L"KelvoFwTimer"));
    frame.Tick(10);
    RunUntilQuit(frame.hwnd());
    ASSERT_FALSE(frame.timers.empty());
    EXPECT_EQ(frame.timers.front(), kTickTimer);
}

TEST(FrameWindow, DestroyRunsOnDestroyOnceAndDetaches) {
    RecordingFrame frame;
    ASSERT_TRUE(frame.CreateHidden(L"KelvoFwDestroy"));
    HWND raw = frame.hwnd();
    ASSERT_TRUE(::DestroyWindow(raw));
    EXPECT_EQ(frame.destroys, 1);
    EXPECT_FALSE(frame.hwnd());
    EXPECT_FALSE(::IsWindow(raw));
}

TEST(FrameWindow, ClassGetsDoubleClicksAndAnIconEvenWithoutTheResource) {
    RecordingFrame frame;
    ASSERT_TRUE(frame.CreateHidden(L"KelvoFwClass", 4242));  // no such icon in the test program
    WNDCLASSEXW info = {};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(::GetClassInfoExW(::GetModuleHandleW(nullptr), L"KelvoFwClass", &info));
    EXPECT_NE(info.style & CS_DBLCLKS, 0u);
    EXPECT_NE(info.hIcon, nullptr);
    EXPECT_NE(info.hCursor, nullptr);
}

}  // namespace
