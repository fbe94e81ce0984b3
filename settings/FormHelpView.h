// The help view: a description and the version of the installed suite.
#pragma once

#include "settings/SettingsView.h"

class CFormHelpView final : public CSettingsView {
public:
    explicit CFormHelpView(SettingsContext& context);

protected:
    void OnFirstShowing() override;
};
