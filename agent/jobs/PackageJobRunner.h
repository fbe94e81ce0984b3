// One install or update job, from the store's profile to the files on the drive, with the launcher kept
// informed. Runs on the package worker's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/agent/JobQueues.h"
#include "common/store/Profile.h"
#include "platform/StopSignal.h"
#include "platform/framework/FailureReports.h"
#include "platform/inet/StoreNotice.h"
#include "platform/inet/StoreTransfer.h"

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

// What a job needs from the agent. The references outlive the runner; everything but `stop` and `reports` is only
// read once the worker runs.
struct PackageJobContext {
    platform::StopSignal& stop;
    platform::IFailureReports& reports;  // the boxes a job ends with (JobReports.h)
    std::wstring moduleFolder;           // its first unit is the drive the packages go to
    std::wstring tempFolder;             // the download area
    std::wstring httpHost;               // host[:port] of the store's web server
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
// percent whenever it changes; a failure ends the job with a report to the user and one to the launcher.
//
// Calling thread: the package worker. The stop ends a job from the UI thread.
class CPackageJobRunner : public IPackageJobRunner, private platform::ITransferSink {
public:
    explicit CPackageJobRunner(PackageJobContext context);

    JobOutcome Run(const common::QueuedJob& queued) override;

private:
    // ITransferSink: counts the chunk into the job's bytes.
    bool OnChunk(int64_t bytes) override;
    // False when the running step must stop.
    bool OnProgress();

    JobOutcome Fail(DWORD code);
    // Fetching, copying and finishing an announced package.
    JobOutcome Install();
    DWORD FetchAll();
    DWORD CopyAll();
    bool InstallProfile();
    void Finish();

    void Announce(uint32_t kind);
    void ReportFailure();
    void ReportTransferError(const std::u16string& name, DWORD code);
    bool IsCancelled() const { return m_context.stop.IsStopped(); }

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
