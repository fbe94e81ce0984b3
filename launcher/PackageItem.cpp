// Drawing one item with its state.
#include "launcher/PackageItem.h"

#include <cwchar>

#include "common/ipc/Messages.h"
#include "launcher/ShellIcon.h"
#include "launcher/Skin.h"
#include "launcher/controls/PaintContext.h"
#include "launcher/skin/SkinIds.h"
#include "platform/WideText.h"

namespace {
constexpr int kMenuCaptionOffset = 9;
constexpr int kPackageCaptionOffset = 2;
constexpr uint8_t kShadeAlpha = 128;
constexpr int kTypeFolder = 1;
constexpr int kTypeCommand = 15;
}  // namespace

CPackageItem::CPackageItem(const common::GridItem& item, bool isMenu, CSkin& skin, HWND owner)
    : m_skin(skin), m_owner(owner), m_isMenu(isMenu), m_serial(item.serial) {
    m_caption = platform::ToWide(item.record.caption.Get());
    TakeIcon(item);
    CreateButton();
    ApplyState(item);
}

void CPackageItem::TakeIcon(const common::GridItem& item) {
    m_icon = nullptr;
    int type = item.record.type;
    if (!m_isMenu && !item.record.icon.IsEmpty() && type != kTypeFolder && type != kTypeCommand &&
        item.bitmap != common::ItemBitmap::Installing) {
        m_shellIcon.Free();
        if (LoadShellIcon(platform::ToWide(item.record.icon.Get()), m_shellIcon)) {
            m_icon = &m_shellIcon;
        }
    }
    if (m_icon == nullptr && item.bitmap != common::ItemBitmap::None) {
        m_icon = m_skin.Get(static_cast<int>(item.bitmap));
    }
}

void CPackageItem::CreateButton() {
    if (m_icon == nullptr || m_icon->IsEmpty()) {
        return;
    }
    m_button.Create(m_owner, static_cast<uint16_t>(common::kIdPackageButton), 0, 0, m_icon, true, m_caption.c_str(),
                    CaptionMode::UnderImage, RGB(0, 0, 0), m_isMenu ? kMenuCaptionOffset : kPackageCaptionOffset);
    if (!m_isMenu) {
        m_button.SetDisabledImage(m_skin.Get(launcher::kSkinDocument));
    }
}

bool CPackageItem::Sync(const common::GridItem& item) {
    bool isIconTaken = false;
    if (item.needsIcon && !m_isMenu && item.record.updateFlag != common::kStateInstalling) {
        // A finished installation: the program's own icon may exist now; the old icon stays when it gives none.
        if (LoadShellIcon(platform::ToWide(item.record.icon.Get()), m_shellIcon)) {
            m_icon = &m_shellIcon;
            CreateButton();
        }
        isIconTaken = true;
    }
    ApplyState(item);
    return isIconTaken;
}

void CPackageItem::ApplyState(const common::GridItem& item) {
    std::wstring caption = platform::ToWide(item.record.caption.Get());
    if (caption != m_caption) {
        m_caption = caption;
        m_button.SetCaption(m_caption.c_str());
    }
    m_button.SetDisabled(!item.isEnabled);
    m_updateFlag = item.record.updateFlag;
    m_progress = item.progress;
}

void CPackageItem::Draw(GPicture& target, int x, int y, HFONT font) {
    m_button.Draw(target, x, y, DT_CENTER, font, kCaptionColour);
    if (m_updateFlag == common::kStateUpdateAvailable) {
        target.DrawPicture(x, y, *m_skin.Get(launcher::kSkinUpdateBadge), true);
    } else if (m_updateFlag == common::kStateInstalling) {
        GPicture& shade = *m_skin.Get(launcher::kSkinShade);
        target.AlphaBlend(shade, x, y, shade.Width(), shade.Height(), kShadeAlpha);
        int percent = m_progress < 0 ? 0 : (m_progress > 100 ? 100 : m_progress);
        wchar_t text[16];
        std::swprintf(text, 16, L"%d %%", percent);
        target.DrawText(x + 14, y + 20, nullptr, text, DT_LEFT | DT_SINGLELINE, font, RGB(0, 0, 0),
                        GPicture::kKeepColor);
        GPicture& segment = *m_skin.Get(launcher::kSkinProgress);
        for (int k = 0; k < percent / 10; ++k) {
            target.DrawPicture(x + 3 + 4 * k, y + 35, segment, false);
        }
    }
}

void CPackageItem::Paint(common::PaintContext& context) {
    Draw(context.target, m_slot.x + context.offsetX, m_slot.y, context.font);
}
