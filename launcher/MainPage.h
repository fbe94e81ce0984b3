// The launcher proper: start-up, the environment and settings files, and the messages of the window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <optional>
#include <string>

#include "common/ipc/CopyData.h"
#include "common/model/PackageRecord.h"
#include "launcher/MainWnd.h"

namespace common {
class CEnvironmentFile;
class CPageGrid;
class IFileProbe;
class IFileStore;
}  // namespace common

// One object per process, created by the entry and alive until the process ends. All members are used on
// the UI thread only.
class CMainPage : public CMainWnd {
public:
    explicit CMainPage(HINSTANCE instance);
    ~CMainPage() override;

    void StartUp() override;
    void ShutDown() override;

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Window messages, one handler each.
    void OnButtonNotice(WORD controlId);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    void OnGoToPage(WPARAM pageIndex);
    void OnEnvironmentChanged(WPARAM kind);
    void OnDropFiles(HDROP drop);
    void OnJobProgress(WPARAM percent, LPARAM packageId);
    void OnJobFinished(LPARAM packageId);
    void OnRunPackage(WPARAM packageId);
    void OnRemoveEmptyPage();

    // Payload receivers, called only with payloads that passed the size check.
    void OnPackageAnnounced(common::CopyDataKind kind, const common::PackageAnnounce& announce);
    void OnAddItemRecord(const common::PackageRecord& record);
    void OnRemoveItemRecord(const common::PackageRecord& record);
    void OnBackImage(const std::optional<std::u16string>& path);

    void ReadSettingsFile();
    void LoadEnvironment();
    // Runs an item as its TYPE says; the item commands own this.
    void RunItem(size_t page, size_t item);
    // Posts the removal of a page that an item removal emptied.
    void AfterItemRemoved(bool isPageEmptied);
    void Repaint();
    bool IsPanelOpen() const { return false; }  // the command panel arrives with the item commands

    std::unique_ptr<common::IFileStore> m_fileStore;
    std::unique_ptr<common::IFileProbe> m_fileProbe;
    std::unique_ptr<common::CEnvironmentFile> m_environment;
    std::unique_ptr<common::CPageGrid> m_grid;
    std::u16string m_backImagePath;  // empty: no background image
};
