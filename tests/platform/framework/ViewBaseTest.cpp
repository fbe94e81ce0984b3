// View base: a view is a child of its frame, sized in client pixels, and hears its controls.
#include <gtest/gtest.h>

#include "platform/framework/FrameWindow.h"
#include "platform/framework/ViewBase.h"

namespace {

class RecordingView : public platform::ViewBase {
public:
    int width = -1;
    int height = -1;
    UINT lastCommand = 0;

protected:
    void OnSize(int newWidth, int newHeight) override {
        width = newWidth;
        height = newHeight;
    }
    bool OnCommand(UINT id, UINT, HWND) override {
        lastCommand = id;
        return true;
    }
};

TEST(ViewBase, ViewIsAChildWithItsIdAndHearsSizeAndCommands) {
    platform::FrameWindow frame;
    platform::FrameClass frameClass;
    frameClass.className = L"KelvoFwViewParent";
    ASSERT_TRUE(frame.CreateFrame(::GetModuleHandleW(nullptr), frameClass, L"", WS_OVERLAPPEDWINDOW));

    RecordingView view;
    RECT rect = {10, 20, 210, 120};
    ASSERT_TRUE(view.CreateView(::GetModuleHandleW(nullptr), L"KelvoFwView", frame.hwnd(), rect, 5600));
    EXPECT_EQ(::GetParent(view.hwnd()), frame.hwnd().get());
    EXPECT_EQ(::GetDlgCtrlID(view.hwnd()), 5600);
    EXPECT_EQ(view.width, 200);
    EXPECT_EQ(view.height, 100);

    view.hwnd().Send(WM_COMMAND, MAKEWPARAM(1035, BN_CLICKED), 0);
    EXPECT_EQ(view.lastCommand, 1035u);
}

}  // namespace
