// The updater's window: three steps with their check marks and a progress bar, while the worker does the work.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <thread>

#include "platform/framework/DialogBase.h"
#include "updater/SuiteUpdater.h"

class CKelvoUpDlg : public platform::DialogBase, private IUpdateView {
public:
    CKelvoUpDlg(std::wstring suiteFolder, std::wstring tempFolder, std::wstring ftpHost,
                platform::IMessageBoxes& boxes);
    ~CKelvoUpDlg() override;

    // Modal; starts the agent once at its end, whatever happened.
    void Run(HINSTANCE instance);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnTimer(UINT_PTR timerId) override;
    // Enter and Esc do not end the update.
    void OnOK() override {}
    void OnCancel() override {}

private:
    // IUpdateView, called on the worker's thread: both post to this window.
    void StepDone(int step) override;
    void Percent(int percent) override;

    void OnStepDone(int step);
    void OnWorkerDone();
    void Finish();

    std::wstring m_suiteFolder;
    std::wstring m_tempFolder;
    std::wstring m_ftpHost;
    platform::IMessageBoxes& m_boxes;
    platform::TransferStop m_stop;
    NetworkWatch m_watch;
    std::unique_ptr<CSuiteUpdater> m_updater;
    std::thread m_worker;
    bool m_isWatchdogFired = false;
    bool m_isFinished = false;
};
