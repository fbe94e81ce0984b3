// Form views: a dialog template laid into a frame's pane, swapped by the frame, told of each showing.
#include "platform/framework/FormView.h"

#include <gtest/gtest.h>

#include "platform/framework/FrameWindow.h"
#include "platform/framework/ModelessDialogs.h"
#include "tests/platform/framework/DialogTemplate.h"

namespace {

constexpr WORD kSaveButton = 1001;

class SettingsLikeView : public platform::FormView {
public:
    int firstShowings = 0;
    int laterShowings = 0;
    int saves = 0;
    int oks = 0;

protected:
    void OnInitialUpdate(int showCount) override { (showCount == 1 ? firstShowings : laterShowings)++; }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id == kSaveButton) {
            ++saves;
            return true;
        }
        return FormView::OnCommand(id, code, control);
    }
    void OnOK() override { ++oks; }
};

kelvo_test::DialogTemplate ViewTemplate(DWORD style) {
    kelvo_test::DialogTemplate dialogTemplate(style, 200, 150, L"");
    dialogTemplate.AddItem(kelvo_test::kButtonAtom, kSaveButton, BS_PUSHBUTTON | WS_TABSTOP, 10, 10, 40, 14, L"저장");
    dialogTemplate.AddItem(kelvo_test::kButtonAtom, IDOK, BS_PUSHBUTTON | WS_TABSTOP, 60, 10, 40, 14, L"확인");
    return dialogTemplate;
}

class FormViewTest : public testing::Test {
protected:
    void SetUp() override {
        platform::FrameClass frameClass;
        frameClass.className = L"KelvoFwFormParent";
        ASSERT_TRUE(m_frame.CreateFrame(::GetModuleHandleW(nullptr), frameClass, L"", WS_OVERLAPPEDWINDOW));
    }

    platform::FrameWindow m_frame;
    platform::ModelessDialogs m_dialogs;
};

// Catches: a view that floats as its own window, lands elsewhere than its pane or without the pane's id, an OK
// that destroys the view (the settings program keeps its views for the whole run), and showings not told apart.
TEST_F(FormViewTest, FillsThePaneKeepsItsWindowAndCountsShowings) {
    SettingsLikeView view;
    auto dialogTemplate = ViewTemplate(WS_CHILD | DS_CONTROL);
    RECT pane = {100, 0, 634, 451};
    ASSERT_TRUE(view.CreateFormIndirect(::GetModuleHandleW(nullptr), dialogTemplate.get(), m_frame.hwnd(), pane, 59648,
                                        &m_dialogs));
    EXPECT_EQ(::GetParent(view.hwnd()), m_frame.hwnd().get());
    EXPECT_EQ(::GetDlgCtrlID(view.hwnd()), 59648);
    RECT placed = {};
    ::GetWindowRect(view.hwnd(), &placed);
    ::MapWindowPoints(nullptr, m_frame.hwnd(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_EQ(placed.left, 100);
    EXPECT_EQ(placed.right - placed.left, 534);
    EXPECT_EQ(placed.bottom - placed.top, 451);

    view.hwnd().Send(platform::kMsgInitialUpdate);
    view.hwnd().Send(platform::kMsgInitialUpdate);
    view.hwnd().Send(platform::kMsgInitialUpdate);
    EXPECT_EQ(view.firstShowings, 1);
    EXPECT_EQ(view.laterShowings, 2);
    EXPECT_EQ(view.ShowCount(), 3);

    ::SendMessageW(view.Item(kSaveButton), BM_CLICK, 0, 0);
    ::SendMessageW(view.Item(IDOK), BM_CLICK, 0, 0);
    EXPECT_EQ(view.saves, 1);
    EXPECT_EQ(view.oks, 1);
    EXPECT_TRUE(::IsWindow(view.hwnd())) << "OK is the view's to handle; the view stays";
}

// Catches: a popup template taken as a view (it would cover the frame from outside its client area).
TEST_F(FormViewTest, RefusesATemplateThatIsNotAChild) {
    SettingsLikeView view;
    auto dialogTemplate = ViewTemplate(WS_POPUP);
    RECT pane = {0, 0, 100, 100};
    EXPECT_FALSE(view.CreateFormIndirect(::GetModuleHandleW(nullptr), dialogTemplate.get(), m_frame.hwnd(), pane, 1,
                                         &m_dialogs));
    EXPECT_FALSE(view.hwnd());
}

}  // namespace
