// The settings frame in this process, hidden: its menu entries and the pane its views fill.
#include "settings/MainFrame.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/framework/RecordingMessageBoxes.h"
#include "settings/resource.h"

namespace {

class SettingsFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_context.Load();
        ASSERT_TRUE(m_frame.Create());
    }

    HWND Frame() const { return m_frame.hwnd(); }

    HWND StatusBar() const { return ::FindWindowExW(Frame(), nullptr, L"msctls_statusbar32", nullptr); }

    HWND ShownView() const {
        // The frame stays hidden, so its children are never IsWindowVisible: their own flag tells.
        HWND view = ::GetDlgItem(Frame(), 0xE900);
        return view != nullptr && (::GetWindowLongPtrW(view, GWL_STYLE) & WS_VISIBLE) != 0 ? view : nullptr;
    }

    platform::RecordingMessageBoxes m_boxes;
    SettingsContext m_context{L"C:\\nowhere-kelvo", m_boxes};
    platform::ModelessDialogs m_dialogs;
    CMainFrame m_frame{::GetModuleHandleW(nullptr), m_context, m_dialogs};
};

// Catches: menu entries that do nothing and are not greyed (the document commands of a frame without a document,
// a toolbar the frame does not have, looks it does not offer), and a Status Bar entry not checked as shown.
TEST_F(SettingsFrameTest, EveryMenuEntryWorksOrIsGreyed) {
    const std::set<UINT> working = {ID_APP_EXIT, ID_VIEW_STATUS_BAR, ID_APP_ABOUT};
    HMENU menu = ::GetMenu(Frame());
    ASSERT_NE(menu, nullptr);
    int entries = 0;
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        HMENU popup = ::GetSubMenu(menu, i);
        ::SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
        for (int j = 0; j < ::GetMenuItemCount(popup); ++j) {
            const UINT id = ::GetMenuItemID(popup, j);
            const UINT state = ::GetMenuState(popup, j, MF_BYPOSITION);
            if (state & MF_SEPARATOR) {
                continue;
            }
            ++entries;
            const bool isGreyed = (state & (MF_GRAYED | MF_DISABLED)) != 0;
            EXPECT_NE(isGreyed, working.count(id) == 1) << "menu entry " << id;
            if (id == ID_VIEW_STATUS_BAR) {
                EXPECT_TRUE(state & MF_CHECKED);
            }
        }
    }
    EXPECT_EQ(entries, 14);
}

// Catches: a Status Bar entry that does nothing, and a view that keeps its old size (a strip of nothing where
// the bar was, or its buttons under the bar when it comes back).
TEST_F(SettingsFrameTest, TheStatusBarTogglesAndTheViewFillsWhatItLeaves) {
    RECT client = {};
    ::GetClientRect(Frame(), &client);
    auto viewBottom = [&] {
        RECT view = {};
        ::GetWindowRect(ShownView(), &view);
        ::MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&view), 2);
        return view.bottom;
    };
    RECT status = {};
    ::GetWindowRect(StatusBar(), &status);
    const int statusHeight = status.bottom - status.top;
    ASSERT_GT(statusHeight, 0);
    ASSERT_NE(ShownView(), nullptr);
    EXPECT_EQ(viewBottom(), client.bottom - statusHeight);

    ::SendMessageW(Frame(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_EQ(::GetWindowLongPtrW(StatusBar(), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(viewBottom(), client.bottom);
    HMENU view = ::GetSubMenu(::GetMenu(Frame()), 2);
    ::SendMessageW(Frame(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
    EXPECT_FALSE(::GetMenuState(view, ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED);

    ::SendMessageW(Frame(), WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_EQ(viewBottom(), client.bottom - statusHeight);
}

}  // namespace
