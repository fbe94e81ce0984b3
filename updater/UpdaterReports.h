// What the updater's worker reports or asks, and the boxes the dialog shows for it.
#pragma once

#include "platform/framework/FailureReports.h"

// FailureReport::step of the updater's reports.
enum class UpdaterStep {
    Question = 1,  // a newer suite is offered: update now? (Yes/No)
    Failed,        // fetching or installing the suite's files failed with `code`
    AgentNotStarted,
};

platform::FailureReport MakeUpdaterReport(UpdaterStep step, DWORD code = 0);

platform::BoxText UpdaterReportText(const platform::FailureReport& report);
