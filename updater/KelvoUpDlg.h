// The updater's window: three steps with their check marks and a progress bar, while the worker does the work.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/StopSignal.h"
#include "platform/WorkerThread.h"
#include "platform/framework/DialogBase.h"
#include "platform/framework/ReportRelay.h"
#include "updater/SuiteUpdater.h"

class CKelvoUpDlg : public platform::DialogBase, private IUpdateView {
public:
    CKelvoUpDlg(std::wstring suiteFolder, std::wstring stagingFolder, std::wstring ftpHost,
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
    std::wstring m_stagingFolder;
    std::wstring m_ftpHost;
    platform::IMessageBoxes& m_boxes;
    platform::StopSignal m_stop;
    NetworkWatch m_watch;
    platform::ReportRelay m_reports;
    std::unique_ptr<CSuiteUpdater> m_updater;
    // Last, so that it is stopped and joined before what it uses goes.
    platform::WorkerThread m_worker{m_stop};
    bool m_isWatchdogFired = false;
    bool m_isFinished = false;
};
