// The page view as it draws: what a page's labels look like on the screen.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/browser/WebView.h"
#include "tests/platform/browser/WebViewWindow.h"

namespace {

// A hidden parent for the view; the view draws into a bitmap through WM_PRINTCLIENT.
class WebViewDrawing : public WebViewWindow {
protected:
    // From the first to the last column inside `rect` (less `inset` on every side) that holds a dark pixel of the
    // drawn view; 0 when none does.
    int InkSpan(const RECT& rect, int inset) {
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 400, 200);
        ::ReleaseDC(nullptr, screen);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::SendMessageW(m_view->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
        int first = -1;
        int last = -1;
        for (int x = rect.left + inset; x < rect.right - inset; ++x) {
            for (int y = rect.top + inset; y < rect.bottom - inset; ++y) {
                COLORREF pixel = ::GetPixel(memory, x, y);
                if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 110) {
                    first = first < 0 ? x : first;
                    last = x;
                    break;
                }
            }
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        return first < 0 ? 0 : last - first + 1;
    }

};

// Catches: a button label drawn with prefix processing, which drops each `&` and underlines the letter after
// it: "&&&&&&&&&&" would show five ampersands, centred in a button made for ten.
TEST_F(WebViewDrawing, AButtonLabelKeepsItsAmpersands) {
    m_view->ShowHtml(L"http://127.0.0.1/",
                     "<html><body><button onclick=\"window.external.CB_Close()\">"
                     "&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;&amp;</button></body></html>");
    std::vector<platform::WebViewButton> buttons = m_view->Buttons();
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].text, u"&&&&&&&&&&");
    const RECT rect = buttons[0].rect;
    const int labelWidth = rect.right - rect.left - 2 * 12;  // the button is the label and its padding
    ASSERT_GT(labelWidth, 20);
    EXPECT_GE(InkSpan(rect, 3), labelWidth * 3 / 4) << "the label's ink spans the whole measured label";
}

}  // namespace
