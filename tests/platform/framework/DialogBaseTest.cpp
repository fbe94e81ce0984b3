// Dialog base: `this` is bound before OnInitDialog, commands arrive cracked, EndModal's id comes back from DoModal,
// and a destroyed dialog is detached from its object and from the loop's list.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/framework/DialogBase.h"
#include "platform/framework/ModelessDialogs.h"
#include "tests/platform/framework/DialogTemplate.h"

namespace {

using kelvo_test::DialogTemplate;

constexpr WORD kInstallButton = 1004;
constexpr WORD kStepText = 1010;
constexpr INT_PTR kInstallResult = 77;

DialogTemplate StatusTemplate(DWORD extraStyle = 0) {
    DialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | extraStyle, 174, 52, L"상태");
    dialogTemplate.AddItem(kelvo_test::kStaticAtom, kStepText, SS_LEFT, 4, 4, 160, 10, L"런처 실행환경을 설정합니다.");
    dialogTemplate.AddItem(kelvo_test::kButtonAtom, kInstallButton, BS_PUSHBUTTON | WS_TABSTOP, 4, 20, 60, 14, L"설치");
    dialogTemplate.AddItem(kelvo_test::kButtonAtom, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 20, 40, 14, L"확인");
    return dialogTemplate;
}

class RecordingDialog : public platform::DialogBase {
public:
    HWND hwndAtInit = nullptr;
    std::wstring stepTextAtInit;
    struct Command {
        UINT id;
        UINT code;
        HWND control;
    };
    std::vector<Command> commands;
    UINT postAtInit = 0;
    bool throwOnInstall = false;
    int finalMessages = 0;

protected:
    bool OnInitDialog() override {
        hwndAtInit = hwnd();
        wchar_t text[64] = {};
        ::GetDlgItemTextW(hwnd(), kStepText, text, 64);
        stepTextAtInit = text;
        if (postAtInit != 0) {
            hwnd().Post(WM_COMMAND, MAKEWPARAM(postAtInit, BN_CLICKED), 0);
        }
        return true;
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        commands.push_back(Command{id, code, control});
        if (id == kInstallButton) {
            if (throwOnInstall) {
                throw std::runtime_error("handler failure");
            }
            EndModal(kInstallResult);
            return true;
        }
        return DialogBase::OnCommand(id, code, control);
    }
    void OnFinalMessage() override { ++finalMessages; }

public:
    // Takes F5 for itself, as a hosted control takes its own keys.
    bool PreTranslateMessage(MSG& message) override {
        if (message.message == WM_KEYDOWN && message.wParam == VK_F5) {
            keysTaken.push_back(message.hwnd);
            return true;
        }
        return false;
    }
    std::vector<HWND> keysTaken;
};

HINSTANCE Instance() {
    return ::GetModuleHandleW(nullptr);
}

TEST(DialogBase, ModelessDialogIsBoundBeforeOnInitDialogAndSeesItsControls) {
    DialogTemplate dialogTemplate = StatusTemplate();
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModelessIndirect(Instance(), dialogTemplate.get(), nullptr, nullptr));
    EXPECT_NE(dialog.hwndAtInit, nullptr);
    EXPECT_EQ(dialog.hwndAtInit, dialog.hwnd().get());
    EXPECT_EQ(dialog.stepTextAtInit, L"런처 실행환경을 설정합니다.");
}

TEST(DialogBase, ButtonClickReachesOnCommandWithIdCodeAndControl) {
    DialogTemplate dialogTemplate = StatusTemplate();
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModelessIndirect(Instance(), dialogTemplate.get(), nullptr, nullptr));
    HWND button = dialog.Item(kInstallButton);
    ASSERT_NE(button, nullptr);
    ::SendMessageW(button, BM_CLICK, 0, 0);
    ASSERT_FALSE(dialog.commands.empty());
    EXPECT_EQ(dialog.commands.back().id, kInstallButton);
    EXPECT_EQ(dialog.commands.back().code, static_cast<UINT>(BN_CLICKED));
    EXPECT_EQ(dialog.commands.back().control, button);
    // EndModal on a modeless dialog closes it and keeps the id for the owner.
    EXPECT_FALSE(dialog.hwnd());
    EXPECT_EQ(dialog.result(), kInstallResult);
    EXPECT_EQ(dialog.finalMessages, 1);
}

TEST(DialogBase, ModalDialogReturnsTheIdGivenToEndModalByAPostedCommand) {
    DialogTemplate dialogTemplate = StatusTemplate();
    RecordingDialog dialog;
    dialog.postAtInit = kInstallButton;
    EXPECT_EQ(dialog.DoModalIndirect(Instance(), dialogTemplate.get(), nullptr), kInstallResult);
    EXPECT_FALSE(dialog.hwnd());
    EXPECT_EQ(dialog.finalMessages, 1);
}

TEST(DialogBase, ModalOkAndCancelEndWithTheirIds) {
    for (UINT id : {UINT(IDOK), UINT(IDCANCEL)}) {
        DialogTemplate dialogTemplate = StatusTemplate();
        RecordingDialog dialog;
        dialog.postAtInit = id;
        EXPECT_EQ(dialog.DoModalIndirect(Instance(), dialogTemplate.get(), nullptr), static_cast<INT_PTR>(id));
    }
}

TEST(DialogBase, ModalWithAMissingTemplateFailsWithMinusOne) {
    RecordingDialog dialog;
    EXPECT_EQ(dialog.DoModal(Instance(), 4242, nullptr), -1);
    EXPECT_EQ(dialog.hwndAtInit, nullptr);
}

TEST(DialogBase, ExceptionInAHandlerDoesNotCrossTheDialogProc) {
    DialogTemplate dialogTemplate = StatusTemplate();
    RecordingDialog dialog;
    dialog.throwOnInstall = true;
    ASSERT_TRUE(dialog.CreateModelessIndirect(Instance(), dialogTemplate.get(), nullptr, nullptr));
    ::SendMessageW(dialog.Item(kInstallButton), BM_CLICK, 0, 0);
    EXPECT_TRUE(dialog.hwnd().IsWindow());
    EXPECT_EQ(dialog.commands.size(), 1u);
}

TEST(DialogBase, DestroyedModelessDialogIsDetachedAndLeavesTheLoopList) {
    DialogTemplate dialogTemplate = StatusTemplate();
    platform::ModelessDialogs dialogs;
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModelessIndirect(Instance(), dialogTemplate.get(), nullptr, &dialogs));
    ASSERT_FALSE(dialogs.empty());
    HWND raw = dialog.hwnd();
    ASSERT_TRUE(::DestroyWindow(raw));
    EXPECT_FALSE(dialog.hwnd());
    EXPECT_EQ(dialog.finalMessages, 1);
    // A stale handle in the list would be handed to IsDialogMessageW once Windows reuses it for another window.
    EXPECT_TRUE(dialogs.empty());
    EXPECT_EQ(::GetWindowLongPtrW(raw, DWLP_USER), 0);
}

TEST(DialogBase, DestroyingTheObjectClosesItsOpenModelessWindow) {
    DialogTemplate dialogTemplate = StatusTemplate();
    platform::ModelessDialogs dialogs;
    HWND raw = nullptr;
    {
        RecordingDialog dialog;
        ASSERT_TRUE(dialog.CreateModelessIndirect(Instance(), dialogTemplate.get(), nullptr, &dialogs));
        raw = dialog.hwnd();
    }
    EXPECT_FALSE(::IsWindow(raw));
    EXPECT_TRUE(dialogs.empty());
}

// Catches: a hosted control that never sees its keys because the loop gives them to the dialog manager first,
// and a dialog asked about another window's keys.
TEST(DialogBase, TheLoopOffersAModelessDialogItsChildrensKeysFirst) {
    DialogTemplate dialogTemplate = StatusTemplate();
    platform::ModelessDialogs dialogs;
    RecordingDialog dialog;
    ASSERT_TRUE(dialog.CreateModelessIndirect(Instance(), dialogTemplate.get(), nullptr, &dialogs));
    MSG f5 = {dialog.Item(kInstallButton), WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_TRUE(dialogs.Route(f5));
    MSG letter = {dialog.Item(kInstallButton), WM_KEYDOWN, 'A', 0, 0, {}};
    dialogs.Route(letter);
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG elsewhere = {other, WM_KEYDOWN, VK_F5, 0, 0, {}};
    EXPECT_FALSE(dialogs.Route(elsewhere));
    ::DestroyWindow(other);
    ASSERT_EQ(dialog.keysTaken.size(), 1u);
    EXPECT_EQ(dialog.keysTaken[0], dialog.Item(kInstallButton).get());
}

}  // namespace
