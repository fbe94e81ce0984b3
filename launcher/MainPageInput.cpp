// CMainPage: the mouse — frame buttons, menu buttons, page items, window drag and page swipes.
#include "launcher/MainPage.h"

#include "common/ipc/Messages.h"
#include "common/layout/PageIndicator.h"
#include "common/model/PageGrid.h"
#include "launcher/skin/SkinIds.h"

namespace {
// A release far outside every button cancels a pressed item without a notice.
constexpr int kNowhere = -32000;
// The loop paints after this many messages even when no handler asked for it.
constexpr int kPaintEveryMessages = 6;
}  // namespace

bool CMainPage::IsAnimating() const {
    return m_slider != nullptr && m_slider->IsSliding();
}

void CMainPage::IdleStep() {
    if (IsAnimating()) {
        ApplySlide(m_slider->Step());
    }
}

void CMainPage::AfterMessage() {
    if (++m_messagesSincePaint >= kPaintEveryMessages) {
        Paint();
        m_messagesSincePaint = 0;
    }
    // Here, after the handler has returned, so that a peer's sent message is never held by the box.
    TellIfChangesUnsaved();
}

void CMainPage::SyncFrameControls() {
    std::vector<common::Control*> controls = {&m_homeButton, &m_exitButton};
    if (!IsPanelOpen()) {
        for (auto& item : m_menuItems) {
            if (item != nullptr) {
                controls.push_back(item.get());
            }
        }
    }
    m_frameHost.SetControls(std::move(controls));
}

int CMainPage::MenuSlotOf(const common::Control* control) const {
    if (control == nullptr) {
        return -1;
    }
    for (size_t slot = 0; slot < m_menuItems.size(); ++slot) {
        if (m_menuItems[slot].get() == control) {
            return static_cast<int>(slot);
        }
    }
    return -1;
}

LRESULT CMainPage::OnLButtonDown(int x, int y) {
    if (IsPanelOpen() && TakePanelOutcome(m_panel.Press(x, y))) {
        return 0;
    }
    SyncFrameControls();
    if (!m_frameHost.MouseDown(x, y) && !IsPanelOpen()) {
        PressPage(x, y);
    }
    Paint();
    return 1;
}

LRESULT CMainPage::OnLButtonUp(int x, int y) {
    if (IsPanelOpen() && TakePanelOutcome(m_panel.Release(x, y))) {
        return 0;
    }
    common::Control* clicked = m_frameHost.MouseUp(x, y);
    if (clicked != nullptr) {
        // A menu button's notice runs its entry.
        m_lastMenuRelease = MenuSlotOf(clicked);
    } else if (!IsPanelOpen()) {
        ReleasePage(x, y);
    }
    Paint();
    return 1;
}

void CMainPage::OnRButtonUp(int x, int y) {
    if (!IsPanelOpen()) {
        OpenContextMenu(x, y);
    }
}

void CMainPage::PressPage(int x, int y) {
    common::Rect area = m_layout.PageArea();
    size_t current = m_grid->CurrentPage();
    // An item under the press is pressed and a swipe starts as well; the release decides which one it was.
    m_isPagePressed =
        current < m_pages.size() && area.Contains(x, y) && m_pages[current]->Press(x - area.left, y - area.top);
    m_pressPoint = {x, y};
    // The user's own drag distance, read at each press: a change of the setting applies at once.
    m_dragSize = {::GetSystemMetrics(SM_CXDRAG), ::GetSystemMetrics(SM_CYDRAG)};
    ApplySlide(m_slider->Press(x, y));
}

void CMainPage::OnMouseMove(int x, int y) {
    // A pointer left of or above the window while captured arrives negative and counts as 0.
    int moveX = common::PageSlider::MoveCoordinate(x);
    int moveY = common::PageSlider::MoveCoordinate(y);
    if (IsPanelOpen()) {
        m_panel.Move(moveX, moveY);
        return;
    }
    m_frameHost.MouseMove(moveX, moveY);
    ApplySlide(m_slider->Move(moveX, moveY));
}

void CMainPage::ReleasePage(int x, int y) {
    m_lastMenuRelease = -1;
    size_t current = m_grid->CurrentPage();
    if (m_isPagePressed && current < m_pages.size()) {
        common::Rect area = m_layout.PageArea();
        bool isClick = common::PageSlider::IsClick(m_pressPoint, {x, y}, m_dragSize);
        m_pages[current]->Release(isClick ? x - area.left : kNowhere, isClick ? y - area.top : kNowhere);
    }
    m_isPagePressed = false;
    common::PagePosition pages{static_cast<int>(current), static_cast<int>(m_pages.size())};
    common::SlideActions actions = m_slider->Release(x, y, pages);
    if (actions.testIndicators) {
        common::Point size{11, 11};
        if (auto hit = common::HitIndicator(m_indicatorPositions, size.x, size.y, x, y)) {
            hwnd().Post(common::kMsgGoToPage, static_cast<WPARAM>(*hit), 0);
        }
    }
    ApplySlide(actions);
}

void CMainPage::ApplySlide(const common::SlideActions& actions) {
    if (actions.captureMouse) {
        ::SetCapture(hwnd());
    }
    if (actions.releaseMouse) {
        ::ReleaseCapture();
    }
    if (actions.moveWindowBy) {
        ::MoveWindow(hwnd(), m_windowRect.left + actions.moveWindowBy->x, m_windowRect.top + actions.moveWindowBy->y,
                     m_windowRect.right - m_windowRect.left, m_windowRect.bottom - m_windowRect.top, TRUE);
        hwnd().GetWindowRect(&m_windowRect);
    }
    if (actions.postButtonUp) {
        hwnd().Post(WM_LBUTTONUP, 0, MAKELPARAM(actions.postButtonUp->x, actions.postButtonUp->y));
    }
    if (actions.pageStep != 0) {
        m_isFrameCurrent = false;  // the page indicators change
        size_t current = m_grid->CurrentPage();
        if (actions.pageStep > 0) {
            m_grid->SetCurrentPage(current + 1);
        } else if (current > 0) {
            m_grid->SetCurrentPage(current - 1);
        }
    }
    if (actions.repaint) {
        Paint();
    }
}
