// Form views: child dialogs placed in a frame's pane.
#include "platform/framework/FormView.h"

namespace platform {

bool FormView::CreateForm(HINSTANCE instance, UINT templateId, HWND parent, const RECT& rect, UINT id,
                          ModelessDialogs* dialogs) {
    return Place(CreateModeless(instance, templateId, parent, dialogs), rect, id);
}

bool FormView::CreateFormIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND parent, const RECT& rect,
                                  UINT id, ModelessDialogs* dialogs) {
    return Place(CreateModelessIndirect(instance, dialogTemplate, parent, dialogs), rect, id);
}

bool FormView::Place(bool isCreated, const RECT& rect, UINT id) {
    if (!isCreated) {
        return false;
    }
    if ((::GetWindowLongPtrW(hwnd(), GWL_STYLE) & WS_CHILD) == 0) {
        // A popup template would float above the frame instead of filling its pane.
        EndModal(IDABORT);
        return false;
    }
    ::SetWindowLongPtrW(hwnd(), GWLP_ID, static_cast<LONG_PTR>(id));
    ::MoveWindow(hwnd(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    return true;
}

INT_PTR FormView::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kMsgInitialUpdate) {
        OnInitialUpdate(++m_showCount);
        return TRUE;
    }
    if (message == WM_SIZE) {
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    }
    return DialogBase::DialogProc(message, wParam, lParam);
}

}  // namespace platform
