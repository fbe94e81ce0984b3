// CMainPage: composition of the whole window into the back buffer, one copy to the screen per frame.
#include "launcher/MainPage.h"

#include "common/layout/PageIndicator.h"
#include "common/model/PageGrid.h"
#include "launcher/controls/PaintContext.h"
#include "launcher/skin/SkinIds.h"
#include "platform/GdiGuards.h"

namespace {
constexpr COLORREF kDriveTextColour = RGB(0xB6, 0xBD, 0xC1);
constexpr int kDriveTextHeight = 14;
}  // namespace

void CMainPage::SyncVisuals() {
    for (size_t slot = 0; slot < m_menuItems.size(); ++slot) {
        const auto& item = m_grid->Menu()[slot];
        if (!item) {
            m_menuItems[slot].reset();
        } else if (m_menuItems[slot] == nullptr || m_menuItems[slot]->Serial() != item->serial) {
            m_menuItems[slot] = std::make_unique<CPackageItem>(*item, true, *m_skin, hwnd());
            m_menuItems[slot]->SetSlot(m_layout.MenuSlot(slot));
        }
    }
    m_pages.resize(m_grid->PageCount());
    for (size_t page = 0; page < m_pages.size(); ++page) {
        if (m_pages[page] == nullptr) {
            m_pages[page] = std::make_unique<CTolvPage>(*m_skin, hwnd());
        }
        m_pages[page]->Sync(*m_grid, page);
    }
    // Menu buttons just replaced must not stay in the host.
    SyncFrameControls();
}

void CMainPage::Repaint() {
    SyncVisuals();
    Paint();
}

void CMainPage::OnPaintMessage() {
    // Exposed parts are covered from the back buffer; the frame itself is composed by Paint.
    platform::PaintScope scope(hwnd());
    Paint();
}

void CMainPage::Paint() {
    if (m_slider == nullptr || m_slider->IsDraggingWindow() || m_display.Picture().IsEmpty()) {
        return;
    }
    GPicture& frame = m_display.Picture();
    int offset = m_slider->StripOffset();
    common::Rect area = m_layout.PageArea();
    if (m_isFrameCurrent && !IsPanelOpen()) {
        // A slide step: the rest of the frame is already as it should be. The same drawing as a whole frame,
        // clipped, so the page area's pixels come out the same either way.
        frame.SetClip(RECT{area.left, area.top, area.right, area.bottom});
    }

    DrawBackdrop(frame);
    if (!IsPanelOpen()) {
        m_pageBuffer.Share(frame, RECT{area.left, area.top, area.right, area.bottom});
        size_t current = m_grid->CurrentPage();
        if (current < m_pages.size()) {
            m_pages[current]->Draw(m_pageBuffer, offset, m_layout, m_captionFont.get());
            if (offset > 0 && current > 0) {
                m_pages[current - 1]->Draw(m_pageBuffer, offset - area.Width(), m_layout, m_captionFont.get());
            } else if (offset < 0 && current + 1 < m_pages.size()) {
                m_pages[current + 1]->Draw(m_pageBuffer, offset + area.Width(), m_layout, m_captionFont.get());
            }
        }
    } else {
        m_panel.Draw(frame);
    }

    m_indicatorPositions = common::IndicatorPositions(static_cast<int>(m_pages.size()), m_layout.IndicatorRowY());
    for (size_t page = 0; page < m_indicatorPositions.size(); ++page) {
        int id = page == m_grid->CurrentPage() ? launcher::kSkinPageCurrent : launcher::kSkinPageOther;
        frame.DrawPicture(m_indicatorPositions[page].x, m_indicatorPositions[page].y, *m_skin->Get(id), true);
    }

    DrawFrameControls(frame);
    DrawDriveTexts(frame);
    frame.ClearClip();
    m_isFrameCurrent = true;
    m_display.Present();
}

void CMainPage::DrawBackdrop(GPicture& frame) {
    if (!m_isBackImageOn) {
        // The backdrop would only copy the skin's picture (a frame's size, kept for the launcher's life).
        m_backdrop.Free();
        DrawSkinAndBackImage(frame);
        return;
    }
    if (m_isBackdropStale || m_backdrop.Width() != frame.Width() || m_backdrop.Height() != frame.Height()) {
        // The skin and the background picture change only with the skin and the settings, but keying the
        // picture over the skin cost more than the rest of a frame together.
        m_backdrop.Free();
        if (m_backdrop.Create(frame.Width(), frame.Height())) {
            DrawSkinAndBackImage(m_backdrop);
        }
        m_isBackdropStale = false;
    }
    if (m_backdrop.IsEmpty()) {
        DrawSkinAndBackImage(frame);
        return;
    }
    frame.DrawPicture(0, 0, m_backdrop, false);
}

void CMainPage::DrawSkinAndBackImage(GPicture& target) {
    target.DrawPicture(0, 0, *m_skin->Get(launcher::kSkinBackground), false);
    if (m_isBackImageOn) {
        common::Rect area = m_layout.PageArea();
        target.DrawPicture(area.left, area.top, m_backImage, true);
    }
}

void CMainPage::DrawFrameControls(GPicture& frame) {
    // Not the host's list: the menu buttons are drawn under the open panel too, though they take nothing there.
    common::PaintContext context{frame, 0, m_captionFont.get(), kDriveTextColour};
    m_homeButton.Paint(context);
    m_exitButton.Paint(context);
    for (auto& item : m_menuItems) {
        if (item != nullptr) {
            item->Paint(context);
        }
    }
}

void CMainPage::DrawDriveTexts(GPicture& frame) {
    HFONT font = m_smallFont.get();
    common::Point label = m_layout.DriveLabel();
    frame.DrawText(label.x, label.y, nullptr, m_driveLabel.c_str(), DT_LEFT | DT_SINGLELINE, font, kDriveTextColour,
                   GPicture::kKeepColor);

    common::Point end = m_layout.FreeSpaceRightEnd();
    RECT box = {end.x - m_freeSpaceWidth - 2, end.y, end.x, end.y + kDriveTextHeight};
    frame.DrawText(box.left, box.top, &box, m_freeSpace.c_str(), DT_RIGHT | DT_SINGLELINE, font, kDriveTextColour,
                   GPicture::kKeepColor);
}
