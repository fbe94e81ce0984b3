// Application object: Main's order of hooks, the module folder, and the loop's routing of dialog keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
#include "platform/framework/App.h"
#include "platform/framework/DialogBase.h"
#include "tests/platform/framework/DialogTemplate.h"

namespace {

using kelvo_test::DialogTemplate;

class ScriptedApp : public platform::App {
public:
    ScriptedApp() : App(::GetModuleHandleW(nullptr), platform::WideCStr(common::kAgentTitle)) {}

    bool initSucceeds = true;
    int quitCode = 0;
    std::vector<std::string> calls;
    int exitCodeSeen = -100;

    using App::Run;
    void SetPolicy(platform::IMessageLoopPolicy* policy) { SetLoopPolicy(policy); }

protected:
    bool InitInstance(int showCommand) override {
        calls.push_back("init " + std::to_string(showCommand));
        if (initSucceeds) {
            ::PostQuitMessage(quitCode);
        }
        return initSucceeds;
    }
    int ExitInstance(int exitCode) override {
        calls.push_back("exit");
        exitCodeSeen = exitCode;
        return exitCode + 1000;
    }
};

class CancelRecordingDialog : public platform::DialogBase {
public:
    int cancels = 0;

protected:
    void OnCancel() override {
        ++cancels;
        ::PostQuitMessage(0);
    }
};

DialogTemplate BrowserTemplate() {
    DialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION, 200, 100, L"Storvia");
    dialogTemplate.AddItem(kelvo_test::kEditAtom, 1008, ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, 4, 4, 120, 12, L"");
    dialogTemplate.AddItem(kelvo_test::kButtonAtom, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 4, 20, 40, 14, L"확인");
    return dialogTemplate;
}

// Records the paced loop's calls; stops at the first idle turn that finds the queue empty.
class RecordingPolicy : public platform::IMessageLoopPolicy {
public:
    std::string calls;
    bool isStopRequested = false;

    bool IsStopRequested() const override { return isStopRequested; }
    void AfterMessage() override { calls += 'm'; }
    bool MayBlock() const override { return false; }
    void IdleStep() override {
        calls += 'i';
        MSG msg;
        isStopRequested = !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
};

TEST(App, PacedLoopTakesOneMessagePerTurnAndOutlivesWmQuit) {
    ScriptedApp app;
    RecordingPolicy policy;
    app.SetPolicy(&policy);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP, 0, 0);
    ::PostQuitMessage(7);
    // An animation step between messages needs one message per turn; a quit alone must not end the loop.
    EXPECT_EQ(app.Run(), 7);
    EXPECT_EQ(policy.calls, "mimimi");
}

TEST(App, MainRunsTheLoopBetweenInitAndExitAndReturnsExitInstancesCode) {
    ScriptedApp app;
    app.quitCode = 5;
    EXPECT_EQ(app.Main(SW_HIDE), 1005);
    EXPECT_EQ(app.calls, (std::vector<std::string>{"init 0", "exit"}));
    EXPECT_EQ(app.exitCodeSeen, 5);
}

TEST(App, RefusedInitSkipsTheLoopButStillExits) {
    ScriptedApp app;
    app.initSucceeds = false;
    // A quit already queued would end a loop at once; this one must stay queued for the check below.
    ::PostQuitMessage(3);
    EXPECT_EQ(app.Main(SW_SHOW), 1000);
    EXPECT_EQ(app.exitCodeSeen, 0);
    MSG msg;
    EXPECT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(App, ModuleFolderIsTheExecutablesFolderWithoutTrailingBackslash) {
    ScriptedApp app;
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring expected(path, length);
    expected.resize(expected.find_last_of(L'\\'));
    EXPECT_EQ(app.moduleFolder(), expected);
    EXPECT_EQ(app.ModuleFile(platform::WideCStr(common::kSettingsFile)), expected + L"\\TolvSet.xml");
}

TEST(App, LoopGivesARegisteredModelessDialogItsEscapeKey) {
    ScriptedApp app;
    DialogTemplate dialogTemplate = BrowserTemplate();
    CancelRecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModelessIndirect(::GetModuleHandleW(nullptr), dialogTemplate.get(), nullptr,
                                              &app.modelessDialogs()));
    HWND edit = dialog.Item(1008);
    ASSERT_TRUE(::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    // The quit below is seen only after the queue is empty, so the key is handled first either way.
    ::PostQuitMessage(0);
    app.Run();
    EXPECT_EQ(dialog.cancels, 1);
}

TEST(App, LoopLeavesKeysOfAnUnregisteredDialogToTheControl) {
    ScriptedApp app;
    DialogTemplate dialogTemplate = BrowserTemplate();
    CancelRecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModelessIndirect(::GetModuleHandleW(nullptr), dialogTemplate.get(), nullptr, nullptr));
    ASSERT_TRUE(::PostMessageW(dialog.Item(1008), WM_KEYDOWN, VK_ESCAPE, 0x00010001));
    ::PostQuitMessage(0);
    app.Run();
    EXPECT_EQ(dialog.cancels, 0);
}

}  // namespace
