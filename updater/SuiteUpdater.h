// The updater's work: fetch the suite's update profile, ask, fetch every listed file, and install them.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "common/update/SuiteUpdate.h"
#include "platform/StopSignal.h"
#include "platform/framework/FailureReports.h"
#include "platform/framework/IMessageBoxes.h"
#include "platform/inet/StoreTransfer.h"

// What the dialog shows of the work, called from the worker's thread.
class IUpdateView {
public:
    virtual ~IUpdateView() = default;
    // 0: the profile arrived; 1: the versions were compared (and the question answered); 2: the suite is updated.
    virtual void StepDone(int step) = 0;
    virtual void Percent(int percent) = 0;
};

// The watchdog's view of the network: `isBusy` while a call is under way, `ticks` the seconds since the last
// sign of life (reset by every chunk that arrives).
struct NetworkWatch {
    std::atomic<bool> isBusy{false};
    std::atomic<int> ticks{0};
};

enum class UpdateResult {
    NoUpdate,  // no profile, no network, or the same version: nothing was asked
    Declined,  // the user said No
    Updated,
    Failed,   // a file could not be fetched or installed (the user is told); the local version stays
    Stopped,  // the watchdog or the program's end stopped the work
};

struct SuiteUpdaterContext {
    std::wstring suiteFolder;    // the folder of KelvoUp.exe; Start.exe goes to its drive's root
    std::wstring stagingFolder;  // on the suite's drive: "<suite>\Staging\suite" (common/install/StagingLayout.h)
    std::wstring ftpHost;        // host[:port]
    IUpdateView& view;
    platform::IFailureReports& reports;  // the question and the failure (UpdaterReports.h)
    platform::StopSignal& stop;
    NetworkWatch& watch;
};

// How it works: every file is fetched into the staging folder first (an older partial file is deleted, never
// reused) and checked against its listed size and, when the profile gives one, its SHA-256. Only when all are
// there are they swapped in as one (common::SwapIn, with a journal): each old file moved aside, the new one
// moved in, Start.exe at the drive root last of the files and the local Profile.xml, which carries the suite's
// version, after it. A failure puts every old file back, so the suite stays the old version whole and the
// update is offered again at the next start; a swap the process did not live through is settled by the agent
// when it starts (it settles every job folder under Staging, this one included).
//
// Calling thread: the worker; the stop may be set from the dialog's thread.
class CSuiteUpdater : private platform::ITransferSink {
public:
    explicit CSuiteUpdater(SuiteUpdaterContext context);

    UpdateResult Run();

private:
    // ITransferSink: a chunk of a listed file arrived.
    bool OnChunk(const uint8_t* data, size_t size) override;
    void OnNetworkStep() override;
    void ReportPercent();
    // A listed file is checked against its entry; the profile (null) is not.
    DWORD Fetch(const std::wstring& url, const std::wstring& localPath, const common::CFileInfo* listed,
                int64_t& received);
    DWORD DownloadAll();
    DWORD InstallAll();
    void ReportFailure(DWORD code);
    std::wstring StagedFile(const std::u16string& name) const;

    SuiteUpdaterContext m_context;
    common::SuiteUpdateProfile m_server;
    std::wstring m_tempProfile;
    int64_t m_bytesDone = 0;
    int64_t m_progressTotal = 0;
    int m_lastPercent = 0;
    bool m_isCounting = false;  // the running fetch counts towards the progress bar
};

// Starts the agent from the suite folder; a start that fails is reported. Every end of the updater calls it once.
void StartSuiteAgent(const std::wstring& suiteFolder, platform::IMessageBoxes& boxes);
