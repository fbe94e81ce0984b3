// The command panel: its controls, input routing and composition.
#include "launcher/CommandPanel.h"

#include <windowsx.h>

#include "common/ipc/Messages.h"
#include "launcher/Skin.h"
#include "launcher/skin/SkinIds.h"

namespace {

constexpr uint32_t kCommandFieldId = 900;
constexpr uint32_t kIconFieldId = 901;
constexpr uint32_t kCaptionFieldId = 902;
constexpr uint32_t kParameterFieldId = 903;

constexpr uint16_t kOkButtonId = 120;
constexpr uint16_t kCancelButtonId = 121;
constexpr uint16_t kCommandBrowseId = 122;
constexpr uint16_t kIconBrowseId = 123;

// The panel sits this far below the top of the window's body; a click in that band that nothing took still
// belongs to the panel.
constexpr int kPanelBandTop = 36;

struct FieldPlace {
    PanelField field;
    common::PanelControl control;
    uint32_t id;
};
constexpr FieldPlace kFieldPlaces[] = {
    {PanelField::Command, common::PanelControl::CommandField, kCommandFieldId},
    {PanelField::Icon, common::PanelControl::IconField, kIconFieldId},
    {PanelField::Caption, common::PanelControl::CaptionField, kCaptionFieldId},
    {PanelField::Parameter, common::PanelControl::ParameterField, kParameterFieldId},
};

struct ButtonPlace {
    common::PanelControl control;
    uint16_t id;
    int skinId;
};
constexpr ButtonPlace kButtonPlaces[] = {
    {common::PanelControl::OkButton, kOkButtonId, launcher::kSkinPanelOk},
    {common::PanelControl::CancelButton, kCancelButtonId, launcher::kSkinPanelCancel},
    {common::PanelControl::CommandBrowse, kCommandBrowseId, launcher::kSkinPanelBrowse},
    {common::PanelControl::IconBrowse, kIconBrowseId, launcher::kSkinPanelBrowse},
};

}  // namespace

void CCommandPanel::Create(HWND owner, CSkin& skin, const common::LayoutPoints& layout) {
    m_owner = owner;
    m_origin = layout.CommandPanelOrigin();
    m_background = skin.Get(launcher::kSkinPanel);
    m_picture.Create(m_background->Width(), m_background->Height());
    GPicture* fieldPicture = skin.Get(launcher::kSkinPanelField);
    GPicture* caret = skin.Get(launcher::kSkinPanelCaret);
    for (const FieldPlace& place : kFieldPlaces) {
        common::Point at = layout.PanelControlPoint(place.control);
        GEditCtrl& field = Field(place.field);
        field.Create(owner, at.x, at.y, fieldPicture->Width(), fieldPicture->Height(), place.id, kFieldUnits - 1,
                     fieldPicture, caret);
    }
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const ButtonPlace& place = kButtonPlaces[i];
        m_buttonPoints[i] = layout.PanelControlPoint(place.control);
        m_buttons[i].Create(owner, place.id, m_buttonPoints[i].x, m_buttonPoints[i].y, skin.Get(place.skinId), true,
                            nullptr, CaptionMode::TopLeft, RGB(0, 0, 0), 0);
    }
}

void CCommandPanel::OpenForAdding() {
    if (!m_isEditing) {
        ClearFields();
    }
    m_isOpen = true;
}

void CCommandPanel::OpenForEditing(uint32_t serial, const std::wstring& path, const std::wstring& icon,
                                   const std::wstring& caption, const std::wstring& param) {
    m_isEditing = true;
    m_editedSerial = serial;
    Field(PanelField::Command).SetText(path.c_str());
    Field(PanelField::Icon).SetText(icon.c_str());
    Field(PanelField::Caption).SetText(caption.c_str());
    Field(PanelField::Parameter).SetText(param.c_str());
    m_isOpen = true;
    // The caption field's notice focuses it and unfocuses the others.
    ::SendMessageW(m_owner, WM_SETFOCUS, kCaptionFieldId, 0);
}

void CCommandPanel::Close() {
    if (!m_isEditing) {
        ClearFields();
    }
    m_isOpen = false;
    m_isEditing = false;
    m_editedSerial = 0;
}

void CCommandPanel::ClearFields() {
    for (GEditCtrl& field : m_fields) {
        field.Clear();
    }
}

std::wstring CCommandPanel::Text(PanelField field) const {
    return Field(field).Text();
}

void CCommandPanel::SetBrowsed(PanelField field, const std::wstring& path) {
    GEditCtrl& target = Field(field);
    target.SetText(path.c_str());
    ::SendMessageW(m_owner, WM_SETFOCUS, target.Id(), 0);
}

PanelOutcome CCommandPanel::Offer(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            if (wParam != 0) {
                for (GEditCtrl& field : m_fields) {
                    field.SetFocusFromNotice(static_cast<uint32_t>(wParam));
                }
            }
            return PanelOutcome::NotConsumed;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_IME_CHAR:
            return OfferKey(message, wParam);
        case WM_IME_COMPOSITION:
            for (GEditCtrl& field : m_fields) {
                field.Composition(static_cast<wchar_t>(wParam), static_cast<DWORD>(lParam));
            }
            return PanelOutcome::Consumed;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return OfferMouse(message, lParam);
        case common::kMsgButtonNotice:
            switch (LOWORD(wParam)) {
                case kOkButtonId:
                    return PanelOutcome::Ok;
                case kCancelButtonId:
                    return PanelOutcome::Cancel;
                case kCommandBrowseId:
                    return PanelOutcome::BrowseCommand;
                case kIconBrowseId:
                    return PanelOutcome::BrowseIcon;
                default:
                    return PanelOutcome::NotConsumed;
            }
        default:
            return PanelOutcome::NotConsumed;
    }
}

PanelOutcome CCommandPanel::OfferKey(UINT message, WPARAM wParam) {
    for (GEditCtrl& field : m_fields) {
        if (!field.IsFocused()) {
            continue;
        }
        bool isTaken = false;
        if (message == WM_KEYDOWN) {
            isTaken = field.KeyDown(static_cast<UINT>(wParam));
        } else if (message == WM_KEYUP) {
            isTaken = field.KeyUp();
        } else if (message == WM_CHAR) {
            isTaken = field.Character(static_cast<wchar_t>(wParam));
        } else {
            isTaken = field.ImeCharacter(static_cast<wchar_t>(wParam));
        }
        if (isTaken) {
            return PanelOutcome::Consumed;
        }
    }
    return PanelOutcome::NotConsumed;
}

PanelOutcome CCommandPanel::OfferMouse(UINT message, LPARAM lParam) {
    const int windowY = GET_Y_LPARAM(lParam);
    const int x = GET_X_LPARAM(lParam) - m_origin.x;
    const int y = windowY - m_origin.y;
    const bool isPress = message == WM_LBUTTONDOWN;
    for (GButton& button : m_buttons) {
        if (isPress ? button.Press(x, y) : button.Release(x, y)) {
            return PanelOutcome::Consumed;
        }
    }
    for (GEditCtrl& field : m_fields) {
        if (isPress ? field.Click(x, y) : field.IsFocused()) {
            return PanelOutcome::Consumed;
        }
    }
    const int bandBottom = (m_background != nullptr ? m_background->Height() : 0) + kPanelBandTop;
    return windowY > kPanelBandTop && windowY < bandBottom ? PanelOutcome::Consumed : PanelOutcome::NotConsumed;
}

void CCommandPanel::Draw(GPicture& frame) {
    if (m_background == nullptr || m_picture.IsEmpty()) {
        return;
    }
    m_picture.DrawPicture(0, 0, *m_background, false);
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i].Draw(m_picture, m_buttonPoints[i].x, m_buttonPoints[i].y, DT_LEFT, nullptr, RGB(0, 0, 0));
    }
    for (GEditCtrl& field : m_fields) {
        field.Draw(m_picture);
    }
    frame.DrawPicture(m_origin.x, m_origin.y, m_picture, false);
}
