// The backup view: no backup exists in the suite, so its controls are all off.
#pragma once

#include "settings/SettingsView.h"

class CFormBackupView final : public CSettingsView {
public:
    explicit CFormBackupView(SettingsContext& context);
};
