// What the settings program's frame and views share: the suite folder, the one settings load of the run, the
// start values of the command line, and the message boxes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/settings/SettingsFile.h"
#include "common/settings/SettingsRecord.h"
#include "common/settings/SettingsRules.h"
#include "platform/FileStoreWin.h"
#include "platform/framework/IMessageBoxes.h"

// Owned by the application object; UI thread only.
class SettingsContext {
public:
    SettingsContext(std::wstring suiteFolder, platform::IMessageBoxes& boxes);

    // Loads TolvSet.xml once; a failed load leaves the record zeroed (and a save then writes nothing).
    void Load();
    // Writes the whole record and tells the agent; false when nothing was written.
    bool SaveAndNotify();

    const std::wstring& suiteFolder() const { return m_suiteFolder; }
    // The path of one of the suite's files (a name from common/ipc/SuiteNames.h) in the suite folder.
    std::wstring SuiteFile(const char16_t* name) const;
    common::SettingsRecord& record() { return m_record; }
    platform::IMessageBoxes& boxes() { return m_boxes; }
    common::SettingsStart start;

private:
    std::wstring m_suiteFolder;
    platform::IMessageBoxes& m_boxes;
    platform::FileStoreWin m_store;
    std::unique_ptr<common::CSettingsFile> m_file;
    common::SettingsRecord m_record;
};
