// One install or update job, from the store's profile to the files on the drive, with the launcher kept
// informed. Runs on the package worker's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "agent/jobs/WorkerFlags.h"
#include "common/agent/JobQueues.h"
#include "common/store/Profile.h"
#include "platform/framework/IMessageBoxes.h"
#include "platform/inet/StoreNotice.h"
#include "platform/inet/TransferStop.h"

enum class JobOutcome {
    Done,       // installed; the store was told
    Dropped,    // ended early; the user was told why, and starts it again from the store
    Cancelled,  // the exit procedure asked the job to stop
};

class IPackageJobRunner {
public:
    virtual ~IPackageJobRunner() = default;
    virtual JobOutcome Run(const common::QueuedJob& queued) = 0;
};

// What a job needs from the agent. The references outlive the runner; everything but `flags` and `stop` is only
// read once the worker runs.
struct PackageJobContext {
    WorkerFlags& flags;
    platform::TransferStop& stop;
    platform::IMessageBoxes& boxes;
    std::wstring moduleFolder;  // its first unit is the drive the packages go to
    std::wstring tempFolder;    // the download area
    std::wstring httpHost;      // host[:port] of the store's web server
    std::wstring ftpHost;
    platform::StoreLogin login;
};

// How it works: the profile is fetched into "<temp>\<package name>\Profile.xml" and read whole (every name in it
// is checked before it becomes a path). The launcher is told of the package (WM_COPYDATA 3, or 2 for an update of
// a package whose profile is on the drive); when it is not running, TolvEnv.xml is marked instead. Files are
// fetched into "<temp>\<ALIAS>\..." (a file left there by an earlier job counts only when it has the listed
// size; a file that arrives with another size is deleted), then copied into "<drive>:\Portable Programs\<ALIAS>"
// and deleted from the download area. The drive's Profile.xml is replaced last, after every file, so a job that
// fails leaves the old version on the drive and the update is offered again. Progress goes to the launcher as a
// percent whenever it changes; a failure ends the job with a message and a failure report to the launcher.
//
// Calling thread: the package worker. The cancel flag and the transfer stop end a job from the UI thread.
class CPackageJobRunner : public IPackageJobRunner {
public:
    explicit CPackageJobRunner(PackageJobContext context);

    JobOutcome Run(const common::QueuedJob& queued) override;

private:
    static int ProgressThunk(int64_t bytesDone, const wchar_t* text, void* self, int64_t progressTotal);
    // 1 to stop the running step.
    int OnProgress();

    JobOutcome Fail(DWORD code);
    // Fetching, copying and finishing an announced package.
    JobOutcome Install();
    DWORD FetchAll();
    DWORD CopyAll();
    bool InstallProfile();
    void Finish();

    void Announce(uint32_t kind);
    void ReportFailure();
    void ShowTransferError(const std::u16string& name, DWORD code);
    bool IsCancelled() const { return m_context.flags.isCancelled.load(); }

    PackageJobContext m_context;
    common::ProfileHead m_keptHead;  // BASEDIR and SVCTYPE carry over from job to job

    // The running job.
    common::PackageJob m_job;
    common::PackageProfile m_profile;
    std::wstring m_downloadProfile;
    std::wstring m_packageFolder;
    int64_t m_bytesDone = 0;
    int64_t m_progressTotal = 0;
    int32_t m_lastPercent = 0;
};
