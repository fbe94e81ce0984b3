// The updater's dialog and its watchdog.
#include "updater/KelvoUpDlg.h"

#include <commctrl.h>

#include "common/ipc/Messages.h"
#include "platform/framework/MessageBoxes.h"
#include "updater/UpdaterReports.h"
#include "updater/resource.h"

namespace {

constexpr UINT_PTR kWatchdogTimer = 1;
constexpr UINT kWatchdogIntervalMs = 1000;
// A network call that shows no sign of life for this many ticks ends the update.
constexpr int kWatchdogTicks = 3;

struct StepControls {
    int check;
    int nextText;  // 0: none
};
constexpr StepControls kSteps[] = {
    {IDC_CHECK_DOWNLOAD, IDC_TEXT_VERSION},
    {IDC_CHECK_VERSION, IDC_TEXT_UPDATE},
    {IDC_CHECK_UPDATE, 0},
};

}  // namespace

CKelvoUpDlg::CKelvoUpDlg(std::wstring suiteFolder, std::wstring stagingFolder, std::wstring ftpHost,
                         platform::IMessageBoxes& boxes)
    : m_suiteFolder(std::move(suiteFolder)),
      m_stagingFolder(std::move(stagingFolder)),
      m_ftpHost(std::move(ftpHost)),
      m_boxes(boxes),
      m_reports(boxes, &UpdaterReportText, common::kMsgUpdaterReport, &m_stop) {}

CKelvoUpDlg::~CKelvoUpDlg() = default;

void CKelvoUpDlg::Run(HINSTANCE instance) {
    if (DoModal(instance, IDD_KELVOUP, nullptr) < 0) {
        Finish();  // no window: the suite still starts
    }
}

bool CKelvoUpDlg::OnInitDialog() {
    HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_KELVOUP_ICON));
    hwnd().Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    hwnd().Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    ::SendDlgItemMessageW(hwnd(), IDC_UPDATE_PROGRESS, PBM_SETRANGE32, 0, 100);
    ::SendDlgItemMessageW(hwnd(), IDC_UPDATE_PROGRESS, PBM_SETPOS, 0, 0);
    m_reports.Attach(hwnd());
    m_updater = std::make_unique<CSuiteUpdater>(
        SuiteUpdaterContext{m_suiteFolder, m_stagingFolder, m_ftpHost, *this, m_reports, m_stop, m_watch});
    HWND window = hwnd();
    if (!m_worker.Start([this, window] {
            m_updater->Run();
            ::PostMessageW(window, common::kMsgUpdaterWorkerDone, 0, 0);
        })) {
        hwnd().Post(common::kMsgUpdaterWorkerDone, 0, 0);  // nothing to wait for: the suite starts as it is
    }
    StartTimer(kWatchdogTimer, kWatchdogIntervalMs);
    return true;
}

INT_PTR CKelvoUpDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case common::kMsgUpdaterStepDone:
            OnStepDone(static_cast<int>(wParam));
            return TRUE;
        case common::kMsgUpdaterPercent:
            ::SendDlgItemMessageW(hwnd(), IDC_UPDATE_PROGRESS, PBM_SETPOS, wParam, 0);
            return TRUE;
        case common::kMsgUpdaterWorkerDone:
            OnWorkerDone();
            return TRUE;
        case common::kMsgUpdaterReport:
            m_reports.ShowPending();
            return TRUE;
        default:
            return DialogBase::DialogProc(message, wParam, lParam);
    }
}

void CKelvoUpDlg::StepDone(int step) {
    hwnd().Post(common::kMsgUpdaterStepDone, static_cast<WPARAM>(step), 0);
}

void CKelvoUpDlg::Percent(int percent) {
    hwnd().Post(common::kMsgUpdaterPercent, static_cast<WPARAM>(percent), 0);
}

void CKelvoUpDlg::OnStepDone(int step) {
    if (step < 0 || step >= static_cast<int>(std::size(kSteps))) {
        return;
    }
    ::ShowWindow(Item(kSteps[step].check), SW_SHOW);
    if (kSteps[step].nextText != 0) {
        ::EnableWindow(Item(kSteps[step].nextText), TRUE);
    }
}

void CKelvoUpDlg::OnTimer(UINT_PTR timerId) {
    if (timerId != kWatchdogTimer || ++m_watch.ticks < kWatchdogTicks) {
        return;
    }
    m_watch.ticks = 0;
    if (!m_watch.isBusy) {
        return;
    }
    // A call that hangs: the worker is stopped (it ends by itself once its call returns), the user is told, and
    // the suite starts as it is.
    StopTimer(kWatchdogTimer);
    m_isWatchdogFired = true;
    m_stop.Stop();
    m_boxes.Show(hwnd(), L"Kelvo 런처 업데이트를 실패 하였습니다.\n런처를 다시 시작하여 주십시오.",
                 platform::kInfoTitle, MB_ICONINFORMATION | MB_TOPMOST);
}

void CKelvoUpDlg::OnWorkerDone() {
    m_worker.Join();
    StopTimer(kWatchdogTimer);
    Finish();
    EndModal(IDOK);
}

void CKelvoUpDlg::Finish() {
    if (m_isFinished) {
        return;
    }
    m_isFinished = true;
    StartSuiteAgent(m_suiteFolder, m_boxes);
}
