// A view laid out by a dialog template: a child dialog of its frame that the frame swaps in and out of one pane.
#pragma once

#include <windows.h>

#include "platform/framework/DialogBase.h"

namespace platform {

// The message a frame sends a view each time it becomes the shown view; the view decides what the first and the
// later showings do.
inline constexpr UINT kMsgInitialUpdate = 0x0364;

// How it works: the template must have WS_CHILD (and no WS_VISIBLE; the frame shows the view). Creation makes it a
// modeless child dialog of `parent`, gives it child id `id`, and moves it to `rect` (parent client pixels).
// kMsgInitialUpdate reaches OnInitialUpdate with the number of the showing (1 for the first). Buttons and fields
// behave as in any dialog, and IDOK/IDCANCEL reach OnOK/OnCancel, which a view overrides (the base would end it).
//
// Calling thread: the UI thread of the parent; pass the loop's ModelessDialogs so Tab moves between fields.
class FormView : public DialogBase {
public:
    bool CreateForm(HINSTANCE instance, UINT templateId, HWND parent, const RECT& rect, UINT id,
                    ModelessDialogs* dialogs);
    bool CreateFormIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent, const RECT& rect,
                            UINT id, ModelessDialogs* dialogs);

    // How often the view has been shown through kMsgInitialUpdate.
    int ShowCount() const { return m_showCount; }

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void OnInitialUpdate(int /*showCount*/) {}
    // The frame moved or resized the view (client size in pixels).
    virtual void OnSize(int /*width*/, int /*height*/) {}

private:
    bool Place(bool isCreated, const RECT& rect, UINT id);

    int m_showCount = 0;
};

}  // namespace platform
