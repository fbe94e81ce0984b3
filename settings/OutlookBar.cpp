// The settings bar: drawing and input.
#include "settings/OutlookBar.h"

#include <windowsx.h>

#include "platform/GdiGuards.h"
#include "settings/res/OutlookBarColours.h"

namespace {

// At 96 DPI; scaled to the screen's.
constexpr int kHeaderHeight = 26;
constexpr int kItemHeight = 76;
constexpr int kIconSize = 48;
constexpr int kIconTop = 6;
constexpr int kHighlightInset = 5;
constexpr int kHighlightRadius = 10;
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr wchar_t kClassName[] = L"KelvoOutlookBar";

int Scale(int pixels, int dpi) {
    return ::MulDiv(pixels, dpi, 96);
}

RECT ToRect(const common::Rect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

void FillRounded(HDC dc, const RECT& rect, COLORREF colour, int radius) {
    platform::UniqueBrush brush(::CreateSolidBrush(colour));
    platform::UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    platform::SelectGuard selectBrush(dc, brush);
    platform::SelectGuard selectPen(dc, pen);
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
}

void FillPlain(HDC dc, const RECT& rect, COLORREF colour) {
    platform::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

}  // namespace

COutlookBar::COutlookBar(const wchar_t* header, const std::array<OutlookBarItem, kItemCount>& items)
    : m_header(header), m_items(items), m_model(kItemCount, kHeaderHeight, kItemHeight) {}

COutlookBar::~COutlookBar() {
    if (m_icons != nullptr) {
        ::ImageList_Destroy(m_icons);
    }
}

bool COutlookBar::Create(HINSTANCE instance, HWND parent, UINT id) {
    {
        platform::WindowDc screen(nullptr);
        m_dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    m_model = common::OutlookBarModel(kItemCount, Scale(kHeaderHeight, m_dpi), Scale(kItemHeight, m_dpi));
    // One image list of the five item bitmaps, image i for item i; when one does not load, no item has an icon
    // rather than the wrong one.
    m_icons = ::ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, kItemCount, 0);
    for (const OutlookBarItem& item : m_items) {
        platform::UniqueBitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageW(instance, MAKEINTRESOURCEW(item.bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        if (m_icons != nullptr && (!bitmap || ::ImageList_AddMasked(m_icons, bitmap.get(), kTransparent) < 0)) {
            ::ImageList_Destroy(m_icons);
            m_icons = nullptr;
        }
    }
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    m_font.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    LOGFONTW bold = metrics.lfMessageFont;
    bold.lfWeight = FW_BOLD;
    m_headerFont.reset(::CreateFontIndirectW(&bold));

    WNDCLASSEXW windowClass = {};
    windowClass.style = CS_DBLCLKS;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    return WindowBase::Create(windowClass, 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, L"", 0, 0, 0, 0, parent,
                              reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

void COutlookBar::SetSelected(int index) {
    m_model.SetSelected(index);
    hwnd().Invalidate();
}

LRESULT COutlookBar::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the back buffer covers every pixel
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_KEYDOWN:
            if (OnKeyDown(static_cast<UINT>(wParam))) {
                return 0;
            }
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            hwnd().Invalidate();
            return 0;
        default:
            break;
    }
    return WindowBase::WndProc(message, wParam, lParam);
}

void COutlookBar::OnSize(int width, int height) {
    m_model.Layout(width, height);
    hwnd().Invalidate();
}

void COutlookBar::OnMouseMove(int x, int y) {
    if (!m_isTrackingLeave) {
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, hwnd(), 0};
        m_isTrackingLeave = ::TrackMouseEvent(&track) != FALSE;
    }
    Apply(m_model.MouseMove(x, y));
}

void COutlookBar::OnMouseLeave() {
    m_isTrackingLeave = false;
    Apply(m_model.MouseLeave());
}

void COutlookBar::OnButtonDown(int x, int y) {
    ::SetFocus(hwnd());
    ::SetCapture(hwnd());
    Apply(m_model.Press(x, y));
}

void COutlookBar::OnButtonUp(int x, int y) {
    if (::GetCapture() == hwnd().get()) {
        ::ReleaseCapture();
    }
    Apply(m_model.Release(x, y));
}

bool COutlookBar::OnKeyDown(UINT key) {
    switch (key) {
        case VK_UP:
            Apply(m_model.Key(common::BarKey::Up));
            return true;
        case VK_DOWN:
            Apply(m_model.Key(common::BarKey::Down));
            return true;
        case VK_HOME:
            Apply(m_model.Key(common::BarKey::Home));
            return true;
        case VK_END:
            Apply(m_model.Key(common::BarKey::End));
            return true;
        case VK_RETURN:
        case VK_SPACE:
            Apply(m_model.Key(common::BarKey::Enter));
            return true;
        default:
            return false;
    }
}

void COutlookBar::Apply(const common::BarInput& input) {
    if (input.isRedrawn) {
        hwnd().Invalidate();
    }
    if (input.chosen >= 0) {
        // As a menu entry: the parent shows the view and tells the bar which one it is.
        ::PostMessageW(::GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(m_items[input.chosen].commandId, 0), 0);
    }
}

void COutlookBar::OnPaint() {
    platform::PaintScope paint(hwnd());
    RECT client = {};
    ::GetClientRect(hwnd(), &client);
    platform::UniqueMemoryDc buffer(::CreateCompatibleDC(paint.dc()));
    platform::UniqueBitmap pixels(::CreateCompatibleBitmap(paint.dc(), client.right, client.bottom));
    if (!buffer || !pixels) {
        return;
    }
    platform::SelectGuard selectPixels(buffer.get(), pixels);
    Draw(buffer.get(), client);
    ::BitBlt(paint.dc(), 0, 0, client.right, client.bottom, buffer.get(), 0, 0, SRCCOPY);
}

void COutlookBar::Draw(HDC dc, const RECT& client) const {
    FillPlain(dc, client, outlook_colours::kBackground);
    RECT header = ToRect(m_model.HeaderRect());
    FillPlain(dc, header, outlook_colours::kHeader);
    ::SetBkMode(dc, TRANSPARENT);
    {
        platform::SelectGuard selectFont(dc, m_headerFont);
        ::SetTextColor(dc, outlook_colours::kHeaderText);
        ::DrawTextW(dc, m_header, -1, &header, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    for (int i = 0; i < kItemCount; ++i) {
        DrawItem(dc, i);
    }
}

void COutlookBar::DrawItem(HDC dc, int index) const {
    const RECT item = ToRect(m_model.ItemRect(index));
    if (item.bottom <= item.top) {
        return;
    }
    const int inset = Scale(kHighlightInset, m_dpi);
    RECT highlight = {item.left + inset, item.top + inset / 2, item.right - inset, item.bottom - inset / 2};
    const bool isSelected = index == m_model.Selected();
    if (isSelected) {
        FillRounded(dc, highlight, outlook_colours::kSelected, Scale(kHighlightRadius, m_dpi));
    } else if (index == m_model.Hovered() || index == m_model.Pressed()) {
        FillRounded(dc, highlight, outlook_colours::kHover, Scale(kHighlightRadius, m_dpi));
    }
    // The icon at its own size: its edges are drawn for exactly these pixels.
    const int iconLeft = item.left + (item.right - item.left - kIconSize) / 2;
    const int iconTop = item.top + Scale(kIconTop, m_dpi);
    if (m_icons != nullptr) {
        ::ImageList_Draw(m_icons, index, dc, iconLeft, iconTop, ILD_TRANSPARENT);
    }
    RECT caption = {item.left, iconTop + kIconSize, item.right, item.bottom - inset / 2};
    platform::SelectGuard selectFont(dc, m_font);
    ::SetTextColor(dc, isSelected ? outlook_colours::kSelectedText : outlook_colours::kText);
    ::DrawTextW(dc, m_items[index].caption, -1, &caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (index == m_model.Focused() && ::GetFocus() == hwnd().get()) {
        RECT focus = highlight;
        ::InflateRect(&focus, -2, -2);
        ::SetTextColor(dc, RGB(255, 255, 255));
        ::DrawFocusRect(dc, &focus);
    }
}
