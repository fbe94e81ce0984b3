// The agent's texts for the package worker's reports.
#include "agent/jobs/JobReports.h"

#include <cstdio>

#include "common/ipc/SuiteNames.h"
#include "common/store/Profile.h"
#include "platform/WideText.h"
#include "platform/framework/MessageBoxes.h"
#include "platform/inet/StoreNotice.h"

platform::FailureReport MakeJobReport(JobStep step, DWORD code, std::wstring name) {
    return platform::FailureReport{static_cast<int>(step), code, std::move(name)};
}

platform::BoxText JobReportText(const platform::FailureReport& report) {
    const std::wstring agentTitle = platform::WideCStr(common::kAgentTitle);
    switch (static_cast<JobStep>(report.step)) {
        case JobStep::ProfileUnreadable:
            return {platform::ToWide(std::u16string(common::kProfileFailureText)), agentTitle, MB_OK};
        case JobStep::Transfer: {
            wchar_t text[512];
            std::swprintf(text, 512, L"%ls를 받는 도중 오류가 발생하였습니다.(오류코드:%lu)\n다시 시도하여 주십시오.",
                          report.name.c_str(), static_cast<unsigned long>(report.code));
            return {text, platform::kInfoTitle, MB_ICONERROR | MB_TOPMOST};
        }
        case JobStep::TargetBusy: {
            wchar_t text[512];
            std::swprintf(text, 512,
                          L"%ls 프로그램의 파일을 다른 프로그램이 사용하고 있어 설치하지 못하였습니다.\n"
                          L"프로그램을 닫은 뒤 다시 시도하여 주십시오.",
                          report.name.c_str());
            return {text, platform::kInfoTitle, MB_ICONERROR | MB_TOPMOST};
        }
        case JobStep::Notice:
            return {platform::StoreNoticeErrorText(report.code), agentTitle, MB_OK};
        case JobStep::Request:
        default:
            return {platform::SystemErrorText(report.code), agentTitle, MB_OK};
    }
}
