// The panel in which the user types a command of their own, or edits one: four fields and four buttons drawn
// over the page area.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>

#include "common/layout/LayoutPoints.h"
#include "common/widgets/ControlHost.h"
#include "launcher/controls/GButton.h"
#include "launcher/controls/GEditCtrl.h"
#include "launcher/controls/GPicture.h"
#include "platform/UniqueHandle.h"

class CSkin;

// What a message offered to the panel came to. Consumed messages end there. Shown: the panel took what the message
// shows (an input method's composition) and the message still goes on to the default procedure, which the input
// method needs to deliver the finished characters. The four actions are the panel's buttons, which the launcher
// carries out (they need its grid, dialogs and message boxes).
enum class PanelOutcome { NotConsumed, Consumed, Shown, Ok, Cancel, BrowseCommand, BrowseIcon };

enum class PanelField { Command, Icon, Caption, Parameter };

// How it works: while open, the launcher offers every window message to Offer first, and the mouse to Press,
// Move and Release in window coordinates, which are made panel-relative by subtracting the panel's origin. The
// panel's controls sit in one host; a press that reaches none of them ends the fields' focus. Fields keep their text
// between openings unless the panel was adding, as the user may close it and come back. The edited item is identified
// by its grid serial, so an item that moved or went while the panel was open is not overwritten by mistake. UI thread
// only.
class CCommandPanel {
public:
    static constexpr size_t kFieldUnits = 260;

    CCommandPanel() = default;
    CCommandPanel(const CCommandPanel&) = delete;
    CCommandPanel& operator=(const CCommandPanel&) = delete;

    // Creates the controls at the layout's points with the skin's pictures. The fields write in the face and size
    // of the labels drawn on the panel's picture.
    void Create(HWND owner, CSkin& skin, const common::LayoutPoints& layout);

    bool IsOpen() const { return m_isOpen; }
    bool IsEditing() const { return m_isEditing; }
    uint32_t EditedSerial() const { return m_editedSerial; }

    void OpenForAdding();
    // Fills the fields from the item and focuses the caption.
    void OpenForEditing(uint32_t serial, const std::wstring& path, const std::wstring& icon,
                        const std::wstring& caption, const std::wstring& param);
    // Closes and leaves edit mode; fields opened for adding are emptied.
    void Close();

    // Focus notices, keys, input-method messages and the buttons' notices.
    PanelOutcome Offer(UINT message, WPARAM wParam, LPARAM lParam);
    // A press or release on a control, or one in the panel's band, is consumed; others are left to the window.
    PanelOutcome Press(int x, int y);
    void Move(int x, int y);
    PanelOutcome Release(int x, int y);

    std::wstring Text(PanelField field) const;
    // A browsed path: shown in its field, which takes the focus.
    void SetBrowsed(PanelField field, const std::wstring& path);

    // Composes the panel and copies it opaque into `frame` at the panel's origin.
    void Draw(GPicture& frame);

private:
    GEditCtrl& Field(PanelField field) { return m_fields[static_cast<size_t>(field)]; }
    const GEditCtrl& Field(PanelField field) const { return m_fields[static_cast<size_t>(field)]; }
    PanelOutcome OfferKey(const common::KeyEvent& key);
    PanelOutcome ConsumedInBand(int windowY) const;
    GEditCtrl* FieldById(uint32_t id);
    void ClearFields();
    // The panel's picture, loaded from the skin when the panel is first drawn or pressed: it is not needed before.
    GPicture* Background() const;

    HWND m_owner = nullptr;
    common::Point m_origin;
    CSkin* m_skin = nullptr;
    platform::UniqueFont m_fieldFont;   // the fields borrow it
    std::array<GEditCtrl, 4> m_fields;  // in PanelField order
    std::array<GButton, 4> m_buttons;   // OK, Cancel, command browse, icon browse
    common::ControlHost m_host;
    bool m_isOpen = false;
    bool m_isEditing = false;
    uint32_t m_editedSerial = 0;
};
