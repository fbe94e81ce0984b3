// One install or update job, from the store's profile to the files on the drive, with the launcher kept
// informed. Runs on the package worker's thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/agent/JobQueues.h"
#include "common/install/FileSwap.h"
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
    std::wstring stagingFolder;          // on the same drive, where no package name reaches ("<suite>\Staging")
    std::wstring httpHost;               // host[:port] of the store's web server
    std::wstring ftpHost;
    platform::StoreLogin login;
};

// How it works: everything a job fetches goes to its own staging folder "<staging>\<package index>" on the
// packages' drive: the profile (read whole, every name in it checked before it becomes a path) and the files
// under "files\". A file an earlier job left there is kept only when its size (and its SHA-256, when the profile
// gives one) is right; a file that arrives otherwise is deleted and the job fails. The launcher is told of the
// package (WM_COPYDATA 3, or 2 for an update of a package whose profile is on the drive); when it is not
// running, TolvEnv.xml is marked instead. Only when every file is there and right, and no target is held open,
// are they swapped in (common::SwapIn: old files moved aside into "backup\", new ones moved in, the drive's
// Profile.xml last, with a journal), so the package folder holds either the old version or the new one whole.
// Progress goes to the launcher as a percent whenever it changes. A failure ends the job with a report to the
// user; the launcher keeps the item of a package the drive still holds, and drops the one a first install added.
//
// Calling thread: the package worker. The stop ends a job from the UI thread.
class CPackageJobRunner : public IPackageJobRunner, private platform::ITransferSink {
public:
    explicit CPackageJobRunner(PackageJobContext context);

    JobOutcome Run(const common::QueuedJob& queued) override;

private:
    // ITransferSink: counts the chunk.
    bool OnChunk(const uint8_t* data, size_t size) override;
    // False when the running step must stop.
    bool OnProgress();

    JobOutcome Fail(DWORD code);
    JobOutcome Install();
    // Builds the swap of every listed file, the profile last; false (and the user told) when a path does not fit.
    bool PlanSwap(std::vector<common::SwapFile>& plan);
    DWORD FetchAll(const std::vector<common::SwapFile>& plan);
    DWORD FetchOne(const common::CFileInfo& entry, const std::wstring& staged);
    bool HasRoomFor(const std::vector<common::SwapFile>& plan);
    bool IsAnyTargetBusy(const std::vector<common::SwapFile>& plan);
    JobOutcome SwapIn(const std::vector<common::SwapFile>& plan);
    void Finish();

    void Announce(uint32_t kind);
    void ReportFailure();
    void ReportTransferError(const std::u16string& name, DWORD code);
    bool IsCancelled() const { return m_context.stop.IsStopped(); }
    std::wstring EnvironmentPath() const;

    PackageJobContext m_context;
    common::ProfileHead m_keptHead;  // BASEDIR and SVCTYPE carry over from job to job

    // The running job.
    common::PackageJob m_job;
    common::PackageProfile m_profile;
    std::wstring m_staging;
    std::wstring m_stagedProfile;
    std::wstring m_packageFolder;
    bool m_hadPackage = false;                            // the drive held the package (its profile) when the job began
    bool m_hadPackageFolder = false;                      // its folder existed
    std::vector<const common::CFileInfo*> m_planEntries;  // the entry of each file of the swap; null: the profile
    int64_t m_bytesDone = 0;
    int64_t m_progressTotal = 0;
    int32_t m_lastPercent = 0;
};
