// Keyboard routing for modeless dialogs.
#include "platform/framework/ModelessDialogs.h"

#include <algorithm>

#include "platform/framework/DialogBase.h"

namespace platform {

void ModelessDialogs::Add(HWND dialog) {
    if (dialog != nullptr && std::find(m_dialogs.begin(), m_dialogs.end(), dialog) == m_dialogs.end()) {
        m_dialogs.push_back(dialog);
    }
}

void ModelessDialogs::Remove(HWND dialog) {
    m_dialogs.erase(std::remove(m_dialogs.begin(), m_dialogs.end(), dialog), m_dialogs.end());
}

bool ModelessDialogs::Route(MSG& msg) const {
    if (msg.hwnd == nullptr) {
        return false;
    }
    for (HWND dialog : m_dialogs) {
        // IsDialogMessageW takes any message for the dialog or its children; asking only those keeps other
        // windows' keys (the launcher's own input, a browser's accelerators) out of the dialog manager.
        if (msg.hwnd != dialog && !::IsChild(dialog, msg.hwnd)) {
            continue;
        }
        DialogBase* owner = DialogBase::FromHwnd(dialog);
        if ((owner != nullptr && owner->PreTranslateMessage(msg)) || ::IsDialogMessageW(dialog, &msg)) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
