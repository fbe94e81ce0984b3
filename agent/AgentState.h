// What the agent process keeps from its start-up to its end, shared by the application object and the main frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "agent/browser/ImpIDispatch.h"
#include "agent/jobs/WorkerFlags.h"
#include "common/agent/JobQueues.h"
#include "common/agent/ProgramList.h"
#include "common/credentials/Credentials.h"
#include "common/settings/SettingsRecord.h"
#include "platform/StopSignal.h"
#include "platform/WorkerThread.h"

// Owned by CMarloApp and used on the UI thread only, apart from `flags`, `jobs`, `jobsQueued` and `workerStop`,
// which the package worker shares (each safe on its own).
struct AgentState {
    std::wstring moduleFolder;  // suite folder without a trailing backslash; its first unit is the drive
    std::wstring tempFolder;    // download area of the package jobs
    common::Credentials credentials;
    common::SettingsRecord settings;  // TolvSet.xml as last applied
    common::ProgramList autoStart;
    common::ProgramList autoClose;
    std::vector<int32_t> interruptedUpdates;  // PKGIDs whose UPDATEFLAG read 2 at start-up
    WorkerFlags flags;
    common::JobQueues jobs;
    platform::WorkEvent jobsQueued;   // set by whoever appends to `jobs`
    platform::StopSignal workerStop;  // the exit procedure ends the worker and its running fetch through it
    CImpIDispatch external;           // window.external of the store page, for the agent's whole life
};
