// The updater's texts for its worker's reports.
#include "updater/UpdaterReports.h"

#include <cstdio>

#include "platform/framework/MessageBoxes.h"

platform::FailureReport MakeUpdaterReport(UpdaterStep step, DWORD code) {
    return platform::FailureReport{static_cast<int>(step), code, {}};
}

platform::BoxText UpdaterReportText(const platform::FailureReport& report) {
    switch (static_cast<UpdaterStep>(report.step)) {
        case UpdaterStep::Question:
            return {L"Kelvo 업데이트가 있습니다. 업데이트 하시겠습니까?", platform::kInfoTitle,
                    MB_YESNO | MB_ICONINFORMATION | MB_TOPMOST};
        case UpdaterStep::Failed: {
            wchar_t text[256];
            std::swprintf(text, 256, L"런처를 업데이트 하는 도중 오류가 발생하였습니다.(오류코드:%lu)",
                          static_cast<unsigned long>(report.code));
            return {text, platform::kInfoTitle, MB_ICONSTOP | MB_TOPMOST};
        }
        case UpdaterStep::AgentNotStarted:
        default:
            return {L"런처를 시작하지 못하였습니다.\n다시 시도하여 주십시오.", platform::kInfoTitle,
                    MB_ICONINFORMATION | MB_TOPMOST};
    }
}
