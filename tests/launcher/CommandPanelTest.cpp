// The command panel in a real window: what it leaves to the default window procedure, and Korean typed through
// the window's own input context.
#include "launcher/CommandPanel.h"

#include <gtest/gtest.h>

#include <imm.h>

#include <string>

#include "common/layout/LayoutPoints.h"
#include "launcher/Skin.h"
#include "platform/UniqueHandle.h"

namespace {

CCommandPanel* g_panel = nullptr;
int g_defaultCompositions = 0;

// Routes messages as the launcher's window does: the open panel is offered each message first; what it consumed
// ends there, everything else goes on to the default procedure.
LRESULT CALLBACK PanelHostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_panel != nullptr && g_panel->IsOpen() && g_panel->Offer(message, wParam, lParam) == PanelOutcome::Consumed) {
        return 0;
    }
    if (message == WM_IME_COMPOSITION) {
        ++g_defaultCompositions;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

class CommandPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = PanelHostProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KelvoTestPanelHost";
        ::RegisterClassW(&windowClass);
        m_window.reset(::CreateWindowExW(0, windowClass.lpszClassName, L"panel", WS_OVERLAPPEDWINDOW, 0, 0, 330, 556,
                                         nullptr, nullptr, windowClass.hInstance, nullptr));
        ASSERT_NE(m_window.get(), nullptr);
        m_panel.Create(m_window.get(), m_skin, m_layout);
        g_panel = &m_panel;
        g_defaultCompositions = 0;
        // Editing focuses the caption field.
        m_panel.OpenForEditing(1, L"T:\\a.exe", L"", L"", L"");
    }

    void TearDown() override { g_panel = nullptr; }

    static void Pump() {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    CSkin m_skin{::GetModuleHandleW(nullptr)};
    common::LayoutPoints m_layout;
    CCommandPanel m_panel;
    platform::UniqueWindow m_window;
};

// Catches: an input-method message the field took and then kept from the default procedure; on Windows the
// input method then never delivers the finished syllables (WM_IME_CHAR) and Korean typing collapses. WM_IME_CHAR
// itself ends at the field: passed on, it would come back as WM_CHAR and be typed twice.
TEST_F(CommandPanelTest, InputMethodMessagesGoOnToTheDefaultProcedure) {
    const UINT passedOn[] = {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION, WM_IME_NOTIFY,
                             WM_IME_SETCONTEXT,       WM_IME_CONTROL,     WM_IME_SELECT,         WM_IME_REQUEST};
    for (UINT message : passedOn) {
        EXPECT_NE(m_panel.Offer(message, 0xD55C, 0x6018), PanelOutcome::Consumed)
            << "message 0x" << std::hex << message;
    }
    EXPECT_EQ(m_panel.Offer(WM_IME_CHAR, 0xD55C, 1), PanelOutcome::Consumed);
    EXPECT_EQ(std::wstring(m_panel.Text(PanelField::Caption)), L"한");
}

// Catches: Korean text lost between the input method and the field: the syllables are composed in the window's own
// input context and completed there, and no WM_IME_CHAR is sent by the test, so they reach the field only when
// the default procedure turns the finished composition into WM_IME_CHAR.
TEST_F(CommandPanelTest, KoreanComposedInTheWindowsInputContextEndsInTheField) {
    HIMC context = ::ImmGetContext(m_window.get());
    ASSERT_NE(context, nullptr) << "the window has an input context";
    const std::wstring text = L"한글";
    ASSERT_TRUE(::ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(text.c_str()),
                                           static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0));
    Pump();
    ASSERT_TRUE(::ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    Pump();
    ::ImmReleaseContext(m_window.get(), context);
    EXPECT_GT(g_defaultCompositions, 0) << "the composition reached the default procedure";
    EXPECT_EQ(std::wstring(m_panel.Text(PanelField::Caption)), text);
}

}  // namespace
