// What the package worker reports to the user, and the boxes the agent shows for it.
#pragma once

#include "platform/framework/FailureReports.h"

// The steps of a job that end with a box (FailureReport::step).
enum class JobStep {
    ProfileUnreadable = 1,  // the package's profile arrived but cannot be read
    Request,                // a store request failed with `code` (the system's text for it)
    Transfer,               // fetching or installing the files of package `name` failed with `code`
    Notice,                 // the store was not told of the installation (`code`)
    TargetBusy,             // a file of package `name` is in use: nothing was replaced
};

// Refusals of an update request.
inline constexpr wchar_t kUpdateInProgressText[] = L"업데이트가 진행 중입니다.";
inline constexpr wchar_t kUpdateNotQueuedText[] = L"설치된 프로그램을 찾을 수 없어 업데이트할 수 없습니다.";

platform::FailureReport MakeJobReport(JobStep step, DWORD code = 0, std::wstring name = {});

// The box for a report, as the agent shows it on its user-interface thread.
platform::BoxText JobReportText(const platform::FailureReport& report);
