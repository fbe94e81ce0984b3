// Base of every dialog of the agent, the settings program and the updater, modal or modeless.
#pragma once

#include <windows.h>

#include "platform/Hwnd.h"

namespace platform {

class ModelessDialogs;

// How it works: the create calls pass `this` as the init parameter; StaticDialogProc stores it in DWLP_USER at
// WM_INITDIALOG and forwards every later message to the virtual DialogProc (earlier ones, such as WM_SETFONT, get
// the dialog manager's default). At WM_NCDESTROY the pointer and m_hwnd are cleared, a modeless dialog leaves its
// loop's list, and OnFinalMessage runs last, so the object may be deleted there. No exception leaves the
// dialog procedure: it is caught and the message gets the default answer.
//
// Calling thread: the UI thread; a modeless dialog belongs to the thread whose loop routes its keys.
class DialogBase {
public:
    DialogBase() = default;
    // Destroys a modeless window still open, detached first so nothing reaches the half-destroyed object.
    virtual ~DialogBase();
    DialogBase(const DialogBase&) = delete;
    DialogBase& operator=(const DialogBase&) = delete;

    // Modal from a dialog resource or an in-memory template. Returns the value given to EndModal, or -1 when
    // the dialog could not be created.
    INT_PTR DoModal(HINSTANCE instance, UINT templateId, HWND owner);
    INT_PTR DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner);

    // Modeless: the window lives until it is destroyed (EndModal, DestroyWindow or this object's destruction).
    // With `dialogs` the loop gives it Tab, Enter and Esc; `dialogs` must outlive the window. WS_VISIBLE in the
    // template shows it; otherwise the caller shows it.
    bool CreateModeless(HINSTANCE instance, UINT templateId, HWND owner, ModelessDialogs* dialogs);
    bool CreateModelessIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner,
                                ModelessDialogs* dialogs);

    Hwnd hwnd() const { return m_hwnd; }
    Hwnd Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
    // The object bound to `dialog`, which must be a window made by this class (null before WM_INITDIALOG and
    // after WM_NCDESTROY). The modeless list holds only such windows.
    static DialogBase* FromHwnd(HWND dialog);

    // A message for this dialog or one of its children, before the dialog manager sees it: true when taken (a
    // hosted control's own keys). Modeless dialogs only: their loop asks.
    virtual bool PreTranslateMessage(MSG& /*message*/) { return false; }

    // Modal: ends the dialog's loop and makes DoModal return `result`. Modeless: keeps `result` and destroys the
    // window.
    void EndModal(INT_PTR result);
    INT_PTR result() const { return m_result; }

protected:
    // The one message switch; unhandled messages return FALSE (the dialog manager's default). Results other than
    // TRUE/FALSE go through DWLP_MSGRESULT, as the dialog manager requires.
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Returns whether the dialog manager should put the focus on the first tab stop.
    virtual bool OnInitDialog() { return true; }
    // The base turns IDOK and IDCANCEL (button, Enter, Esc, close box) into OnOK and OnCancel. True when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual void OnOK() { EndModal(IDOK); }
    virtual void OnCancel() { EndModal(IDCANCEL); }
    virtual void OnTimer(UINT_PTR /*timerId*/) {}
    // After the window is gone (m_hwnd is already null); the object may be deleted from here.
    virtual void OnFinalMessage() {}

    bool StartTimer(UINT_PTR timerId, UINT intervalMs) { return ::SetTimer(m_hwnd, timerId, intervalMs, nullptr) != 0; }
    void StopTimer(UINT_PTR timerId) { ::KillTimer(m_hwnd, timerId); }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool AfterModelessCreate(HWND created, ModelessDialogs* dialogs);

    HWND m_hwnd = nullptr;
    bool m_isModal = false;
    INT_PTR m_result = 0;
    ModelessDialogs* m_dialogs = nullptr;
};

}  // namespace platform
