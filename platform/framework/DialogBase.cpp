// Dialog base: `this` bound at WM_INITDIALOG, one virtual switch, modal and modeless creation.
#include "platform/framework/DialogBase.h"

#include "platform/framework/ModelessDialogs.h"

namespace platform {

DialogBase::~DialogBase() {
    if (m_hwnd != nullptr) {
        HWND hwnd = m_hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        if (m_dialogs != nullptr) {
            m_dialogs->Remove(hwnd);
        }
        m_hwnd = nullptr;
        ::DestroyWindow(hwnd);
    }
}

DialogBase* DialogBase::FromHwnd(HWND dialog) {
    return dialog == nullptr ? nullptr : reinterpret_cast<DialogBase*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

INT_PTR DialogBase::DoModal(HINSTANCE instance, UINT templateId, HWND owner) {
    m_isModal = true;
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, &DialogBase::StaticDialogProc,
                             reinterpret_cast<LPARAM>(this));
}

INT_PTR DialogBase::DoModalIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner) {
    m_isModal = true;
    return ::DialogBoxIndirectParamW(instance, dialogTemplate, owner, &DialogBase::StaticDialogProc,
                                     reinterpret_cast<LPARAM>(this));
}

bool DialogBase::CreateModeless(HINSTANCE instance, UINT templateId, HWND owner, ModelessDialogs* dialogs) {
    m_isModal = false;
    m_dialogs = dialogs;
    HWND created = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), owner, &DialogBase::StaticDialogProc,
                                        reinterpret_cast<LPARAM>(this));
    return AfterModelessCreate(created, dialogs);
}

bool DialogBase::CreateModelessIndirect(HINSTANCE instance, const DLGTEMPLATE* dialogTemplate, HWND owner,
                                        ModelessDialogs* dialogs) {
    m_isModal = false;
    m_dialogs = dialogs;
    HWND created = ::CreateDialogIndirectParamW(instance, dialogTemplate, owner, &DialogBase::StaticDialogProc,
                                                reinterpret_cast<LPARAM>(this));
    return AfterModelessCreate(created, dialogs);
}

bool DialogBase::AfterModelessCreate(HWND created, ModelessDialogs* dialogs) {
    if (created == nullptr) {
        m_dialogs = nullptr;
        return false;
    }
    // OnInitDialog may already have ended the dialog; only a live window joins the loop's list.
    if (dialogs != nullptr && m_hwnd == created) {
        dialogs->Add(created);
    }
    return m_hwnd == created;
}

void DialogBase::EndModal(INT_PTR result) {
    m_result = result;
    if (m_hwnd == nullptr) {
        return;
    }
    if (m_isModal) {
        ::EndDialog(m_hwnd, result);
    } else {
        ::DestroyWindow(m_hwnd);
    }
}

INT_PTR DialogBase::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog() ? TRUE : FALSE;
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

bool DialogBase::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
        case IDOK:
            OnOK();
            return true;
        case IDCANCEL:
            OnCancel();
            return true;
        default:
            return false;
    }
}

INT_PTR CALLBACK DialogBase::StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DialogBase* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<DialogBase*>(lParam);
        if (self != nullptr) {
            self->m_hwnd = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = reinterpret_cast<DialogBase*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }

    INT_PTR result = FALSE;
    try {
        result = self->DialogProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the dialog manager; the message gets the default answer.
        result = FALSE;
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
        if (self->m_dialogs != nullptr) {
            self->m_dialogs->Remove(hwnd);
            self->m_dialogs = nullptr;
        }
        self->OnFinalMessage();
    }
    return result;
}

}  // namespace platform
