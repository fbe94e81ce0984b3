// Page drawing and item input.
#include "launcher/TolvPage.h"

#include <map>

#include "launcher/controls/PaintContext.h"

CTolvPage::CTolvPage(CSkin& skin, HWND owner) : m_skin(skin), m_owner(owner) {}

void CTolvPage::Sync(common::CPageGrid& grid, size_t pageIndex) {
    const common::GridPage& page = grid.Pages()[pageIndex];
    std::map<uint32_t, std::unique_ptr<CPackageItem>> kept;
    for (auto& item : m_items) {
        uint32_t serial = item->Serial();
        kept.emplace(serial, std::move(item));
    }
    m_items.clear();
    for (size_t index = 0; index < page.items.size(); ++index) {
        const common::GridItem& gridItem = page.items[index];
        auto found = kept.find(gridItem.serial);
        bool isIconTaken = true;
        if (found != kept.end()) {
            isIconTaken = found->second->Sync(gridItem);
            m_items.push_back(std::move(found->second));
        } else {
            m_items.push_back(std::make_unique<CPackageItem>(gridItem, false, m_skin, m_owner));
        }
        if (isIconTaken && gridItem.needsIcon) {
            grid.MarkIconTaken(pageIndex, index);
        }
    }
    std::vector<common::Control*> controls;
    for (size_t slot = 0; slot < m_items.size() && slot < common::kPageSlotCount; ++slot) {
        controls.push_back(m_items[slot].get());
    }
    m_host.SetControls(std::move(controls));
}

void CTolvPage::Draw(GPicture& target, int offsetX, const common::LayoutPoints& layout, HFONT font) {
    for (size_t slot = 0; slot < m_items.size() && slot < common::kPageSlotCount; ++slot) {
        m_items[slot]->SetSlot(layout.PageSlot(slot));
    }
    common::PaintContext context{target, offsetX, font, CPackageItem::kCaptionColour};
    m_host.Paint(context);
}

bool CTolvPage::Press(int x, int y) {
    return m_host.MouseDown(x, y);
}

bool CTolvPage::Release(int x, int y) {
    m_lastReleased = -1;
    common::Control* clicked = m_host.MouseUp(x, y);
    for (size_t index = 0; index < m_items.size() && clicked != nullptr; ++index) {
        if (m_items[index].get() == clicked) {
            m_lastReleased = static_cast<int>(index);
        }
    }
    return m_lastReleased >= 0;
}

int CTolvPage::HitItem(int x, int y) const {
    for (size_t index = 0; index < m_items.size(); ++index) {
        if (m_items[index]->Button().Hit(x, y)) {
            return static_cast<int>(index);
        }
    }
    return -1;
}
