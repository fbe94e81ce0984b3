// The agent's hidden main window "Marlo": tray icon, hotkeys, messages from the other programs, exit procedure.
#pragma once

#include <windows.h>

#include <dbt.h>

#include <memory>
#include <string>

#include "agent/AgentState.h"
#include "agent/ProgStatusDlg.h"
#include "agent/ProgramStarter.h"
#include "agent/TrayIcon.h"
#include "agent/UpdateCheck.h"
#include "agent/browser/FormBrowser.h"
#include "agent/jobs/PackageWorker.h"
#include "common/agent/SettingsActions.h"
#include "common/io/FileStore.h"
#include "common/model/PackageRecord.h"
#include "platform/Hwnd.h"
#include "platform/UniqueHandle.h"
#include "platform/framework/FrameWindow.h"
#include "platform/framework/IMessageBoxes.h"
#include "platform/framework/ModelessDialogs.h"
#include "platform/framework/ReportRelay.h"

// Calling thread: the UI thread for everything. The frame borrows the state, boxes, starter and file store, which
// must outlive it. Create makes the hidden window only; RunStartUp then does the start-up steps, so tests can
// drive the message handlers of a frame that read no files and started nothing.
class CMainFrame final : public platform::FrameWindow, private IStoreUpdateCheck {
public:
    CMainFrame(HINSTANCE instance, AgentState& state, platform::IMessageBoxes& boxes, IProgramStarter& starter,
               common::IFileStore& store);
    ~CMainFrame() override;

    bool Create();
    // Status window, files, tray icon, worker, launcher, hotkeys and auto-start programs, in that order.
    void RunStartUp(platform::ModelessDialogs* dialogs);
    // The package worker on `runner`, or on the store's own when null (RunStartUp's step; tests give their own).
    void StartWorker(std::unique_ptr<IPackageJobRunner> runner = nullptr);
    // The worker did not stop within its bound when the agent ended: the process must end without waiting for
    // it, and without destroying what it still uses.
    bool IsWorkerStuck() const { return m_isWorkerStuck; }
    // The check the store page calls for its update requests.
    IStoreUpdateCheck& StoreUpdateCheck() { return *this; }

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnDestroy() override;

private:
    // Message handlers (MainFrame.cpp).
    LRESULT OnTrayNotify(UINT mouseMessage);
    void OnBrowserJobQueued();
    void OnBrowserClosed();
    void OnOpenStore();
    void OnSettingsSaved();
    LRESULT OnEnvChanged(UINT kind, LPARAM packageId);
    int CheckForUpdateNow(const std::u16string& profilePath, const std::u16string& folderName);
    // The settings program's update request, once the check found a newer version: an update job for the
    // listed package installed in `folderName`, or a box that says why there is none.
    void QueueSettingsUpdate(const std::u16string& profilePath, const std::u16string& folderName);
    // IStoreUpdateCheck: the store page's update requests, called directly on this thread.
    UpdateCheckResult CheckStoreUpdate(const std::u16string& profilePath, const std::u16string& folderName) override;
    UpdateCheckContext CheckContext() const;
    void OnShutDown();
    void OnHotKey(int id);
    LRESULT OnCopyData(HWND sender, const COPYDATASTRUCT* data);
    void OnDeviceChange(WPARAM event, LPARAM data);
    void OnTaskbarCreated();

    // Exit procedure: questions, worker stop, the other programs' windows, tray icon, end of the loop.
    void ExitSuite();
    bool StopWorkerForExit();

    // Commands and launcher control (MainFrameCommands.cpp).
    // Shows the launcher, or starts it and looks for its window once now and then on a timer, so that this
    // thread keeps taking messages while the launcher comes up. False when there is no launcher and it could not
    // be started.
    bool ShowLauncher();
    void PollForLauncher();
    // Ends any wait, keeps the found window's place, shows it and brings it forward.
    void BringUpLauncher(platform::Hwnd launcher);
    void EndLauncherWait();
    void HideLauncher();
    void OpenStoreHome();
    void OpenSettingsView(int view, UINT messageIfRunning);
    void OpenFileSearch();
    void ShowTrayMenu();
    void RegisterBuiltInHotKeys();

    // Settings changed (MainFrameSettings.cpp).
    void ApplySettings(const common::SettingsActions& actions);
    void ApplyTopMost(bool isTopMost);
    void ApplyAutorun(common::AutorunAction action);
    void ApplyBackupButton(common::ButtonAction action);
    void ApplyDocumentsButton(common::ButtonAction action);
    void SendLauncherItem(UINT kind, const common::PackageRecord& record);

    // Start-up steps (MainFrameStartUp.cpp).
    void Report(const std::wstring& text);
    void ReadSettingsFile();
    void ReadEnvironmentFile();
    bool ScanEnvironment();
    void PutTrayIcon();

    std::wstring ModuleFile(const char16_t* name) const;
    // The letter of the drive the suite runs from; 0 when the module folder is unknown.
    char16_t SuiteDrive() const;
    // Keeps the launcher's position and size, sets its top-most state and shows or hides it (`showFlag`).
    static void PlaceLauncher(platform::Hwnd launcher, bool isTopMost, UINT showFlag);

    HINSTANCE m_instance;
    AgentState& m_state;
    platform::IMessageBoxes& m_boxes;
    IProgramStarter& m_starter;
    common::IFileStore& m_store;
    UINT m_taskbarCreated = 0;
    platform::UniqueMenu m_trayMenu;
    platform::UniqueIcon m_icon;
    TrayIcon m_tray;
    bool m_isTrayShown = false;
    CProgStatusDlg m_status;
    // The worker's reports, shown by this window one box at a time.
    platform::ReportRelay m_jobReports;
    // The runner outlives the worker's thread: the worker is joined (or destroyed) first.
    std::unique_ptr<IPackageJobRunner> m_jobRunner;
    std::unique_ptr<PackageWorker> m_worker;
    platform::ModelessDialogs* m_dialogs = nullptr;
    std::unique_ptr<CFormBrowser> m_storeBrowser;
    bool m_isStoreBrowserOpen = false;
    bool m_isExiting = false;  // the exit procedure is asking or waiting
    bool m_isWorkerStuck = false;
    // Looks left for the window of a launcher this frame started; 0 when none is awaited.
    int m_launcherPollsLeft = 0;
    static constexpr UINT_PTR kLauncherPollTimer = 1;
};
