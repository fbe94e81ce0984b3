// The command panel: its controls, input routing and composition.
#include "launcher/CommandPanel.h"

#include "common/ipc/Messages.h"
#include "launcher/Skin.h"
#include "launcher/controls/PaintContext.h"
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

// The labels on the panel's picture are drawn in this face at this pixel size (tools/art/make_skin.py,
// PANEL_LABEL_FONT); typed text matches them, so it fits its field as the labels fit their rows.
constexpr wchar_t kFieldFontFace[] = L"NanumBarunGothic";
constexpr int kFieldFontPixels = 12;

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
    m_skin = &skin;
    GPicture* fieldPicture = skin.Get(launcher::kSkinPanelField);
    GPicture* caret = skin.Get(launcher::kSkinPanelCaret);
    // A negative height asks for the em size, the size the art's font was drawn at.
    m_fieldFont.reset(::CreateFontW(-kFieldFontPixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, HANGEUL_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS,
                                    kFieldFontFace));
    for (const FieldPlace& place : kFieldPlaces) {
        common::Point at = layout.PanelControlPoint(place.control);
        GEditCtrl& field = Field(place.field);
        field.Create(owner, at.x, at.y, fieldPicture->Width(), fieldPicture->Height(), place.id, kFieldUnits - 1,
                     fieldPicture, caret);
        field.SetFont(m_fieldFont.get());
    }
    std::vector<common::Control*> controls;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        const ButtonPlace& place = kButtonPlaces[i];
        common::Point at = layout.PanelControlPoint(place.control);
        m_buttons[i].Create(owner, place.id, at.x, at.y, skin.Get(place.skinId), true, nullptr, CaptionMode::TopLeft,
                            RGB(0, 0, 0), 0);
        controls.push_back(&m_buttons[i]);
    }
    // Drawn over the buttons, as the panel has always been composed.
    for (GEditCtrl& field : m_fields) {
        controls.push_back(&field);
    }
    m_host.SetControls(std::move(controls));
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

GEditCtrl* CCommandPanel::FieldById(uint32_t id) {
    for (GEditCtrl& field : m_fields) {
        if (field.Id() == id) {
            return &field;
        }
    }
    return nullptr;
}

PanelOutcome CCommandPanel::Offer(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            // A field's notice focuses it and no other; an id no field has leaves none focused.
            if (wParam != 0) {
                m_host.SetFocus(FieldById(static_cast<uint32_t>(wParam)));
            }
            return PanelOutcome::NotConsumed;
        case WM_KEYDOWN:
            return OfferKey({common::KeyKind::Down, static_cast<uint32_t>(wParam), 0});
        case WM_KEYUP:
            return OfferKey({common::KeyKind::Up, static_cast<uint32_t>(wParam), 0});
        case WM_CHAR:
            return OfferKey({common::KeyKind::Character, static_cast<uint32_t>(wParam), 0});
        case WM_IME_CHAR:
            return OfferKey({common::KeyKind::ImeCharacter, static_cast<uint32_t>(wParam), 0});
        case WM_IME_COMPOSITION:
            // The default procedure turns a finished composition into WM_IME_CHAR, which the field takes above.
            m_host.Key({common::KeyKind::Composition, static_cast<wchar_t>(wParam), static_cast<uint32_t>(lParam)});
            return PanelOutcome::Shown;
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

PanelOutcome CCommandPanel::OfferKey(const common::KeyEvent& key) {
    return m_host.Key(key) ? PanelOutcome::Consumed : PanelOutcome::NotConsumed;
}

PanelOutcome CCommandPanel::Press(int x, int y) {
    if (m_host.MouseDown(x - m_origin.x, y - m_origin.y)) {
        return PanelOutcome::Consumed;
    }
    return ConsumedInBand(y);
}

void CCommandPanel::Move(int x, int y) {
    m_host.MouseMove(x - m_origin.x, y - m_origin.y);
}

PanelOutcome CCommandPanel::Release(int x, int y) {
    // While a field has the focus every release belongs to the panel.
    if (m_host.MouseUp(x - m_origin.x, y - m_origin.y) != nullptr || m_host.Focused() != nullptr) {
        return PanelOutcome::Consumed;
    }
    return ConsumedInBand(y);
}

GPicture* CCommandPanel::Background() const {
    return m_skin != nullptr ? m_skin->Get(launcher::kSkinPanel) : nullptr;
}

PanelOutcome CCommandPanel::ConsumedInBand(int windowY) const {
    const GPicture* background = Background();
    const int bandBottom = (background != nullptr ? background->Height() : 0) + kPanelBandTop;
    return windowY > kPanelBandTop && windowY < bandBottom ? PanelOutcome::Consumed : PanelOutcome::NotConsumed;
}

void CCommandPanel::Draw(GPicture& frame) {
    const GPicture* background = Background();
    if (background == nullptr || background->IsEmpty()) {
        return;
    }
    // Composed straight into the frame's part under the panel.
    GPicture panel;
    panel.Share(frame, RECT{m_origin.x, m_origin.y, m_origin.x + background->Width(),
                            m_origin.y + background->Height()});
    panel.DrawPicture(0, 0, *background, false);
    common::PaintContext context{panel, 0, nullptr, RGB(0, 0, 0)};
    m_host.Paint(context);
}
