// Page drawing and item input.
#include "launcher/TolvPage.h"

#include <map>

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
}

void CTolvPage::Draw(GPicture& target, int offsetX, const common::LayoutPoints& layout, HFONT font) {
    for (size_t slot = 0; slot < m_items.size() && slot < common::kPageSlotCount; ++slot) {
        common::Point at = layout.PageSlot(slot);
        m_items[slot]->Draw(target, at.x + offsetX, at.y, font);
    }
}

bool CTolvPage::Press(int x, int y) {
    for (auto& item : m_items) {
        if (item->Button().Press(x, y)) {
            return true;
        }
    }
    return false;
}

bool CTolvPage::Release(int x, int y) {
    m_lastReleased = -1;
    bool isTaken = false;
    for (size_t index = 0; index < m_items.size(); ++index) {
        // Every pressed button must hear the release, also when another one takes it.
        if (m_items[index]->Button().Release(x, y) && !isTaken) {
            m_lastReleased = static_cast<int>(index);
            isTaken = true;
        }
    }
    return isTaken;
}

int CTolvPage::HitItem(int x, int y) const {
    for (size_t index = 0; index < m_items.size(); ++index) {
        if (m_items[index]->Button().Hit(x, y)) {
            return static_cast<int>(index);
        }
    }
    return -1;
}
