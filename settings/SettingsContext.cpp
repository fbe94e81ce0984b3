// The settings program's shared state.
#include "settings/SettingsContext.h"

#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "platform/SuiteWindows.h"
#include "platform/WideText.h"

SettingsContext::SettingsContext(std::wstring suiteFolder, platform::IMessageBoxes& boxes)
    : m_suiteFolder(std::move(suiteFolder)), m_boxes(boxes) {}

std::wstring SettingsContext::SuiteFile(const char16_t* name) const {
    return m_suiteFolder + L"\\" + platform::WideCStr(name);
}

void SettingsContext::Load() {
    m_file = std::make_unique<common::CSettingsFile>(m_store, platform::FromWide(SuiteFile(common::kSettingsFile)));
    m_file->Load(m_record);
}

bool SettingsContext::SaveAndNotify() {
    if (!m_file || !m_file->Save(m_record)) {
        return false;
    }
    if (HWND agent = platform::FindAgentWindow()) {
        ::PostMessageW(agent, common::kMsgSettingsSaved, 0, 0);
    }
    return true;
}
