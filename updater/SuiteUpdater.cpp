// The updater's work on its worker thread.
#include "updater/SuiteUpdater.h"

#include <shellapi.h>

#include <optional>
#include <vector>

#include "common/agent/PackageJobs.h"
#include "common/install/FileSwap.h"
#include "common/install/StagingLayout.h"
#include "common/ipc/SuiteNames.h"
#include "common/store/Profile.h"
#include "common/text/TextUtil.h"
#include "platform/FileBytes.h"
#include "platform/FolderTree.h"
#include "platform/SwapFilesWin.h"
#include "platform/WideText.h"
#include "platform/inet/StoreTransfer.h"
#include "platform/inet/VerifiedFetch.h"
#include "updater/UpdaterReports.h"

namespace {

// The suite's profile lists a handful of files; a file far larger is not read (it would all be held in memory).
constexpr size_t kMaxProfileBytes = 1024 * 1024;

// Reads a suite profile; an unreadable or oversized file gives an empty profile (no version, no files).
common::SuiteUpdateProfile ReadProfile(const std::wstring& path) {
    common::SuiteUpdateProfile profile;
    if (std::optional<std::vector<uint8_t>> bytes = platform::ReadFileUpTo(path, kMaxProfileBytes)) {
        common::ReadSuiteUpdateProfile(*bytes, profile);
    }
    return profile;
}

}  // namespace

CSuiteUpdater::CSuiteUpdater(SuiteUpdaterContext context) : m_context(std::move(context)) {}

std::wstring CSuiteUpdater::StagedFile(const std::u16string& name) const {
    return m_context.stagingFolder + L"\\" + platform::WideCStr(common::kStagedFilesFolder) + L"\\" +
           platform::ToWide(name);
}

UpdateResult CSuiteUpdater::Run() {
    platform::CreateFolderPath(m_context.stagingFolder + L"\\" + platform::WideCStr(common::kStagedFilesFolder));
    m_tempProfile = m_context.stagingFolder + L"\\" + platform::WideCStr(common::kProfileFile);
    int64_t received = 0;
    const std::wstring profileUrl = L"FTP://" + m_context.ftpHost + platform::WideCStr(common::kSuiteProfileFolder) +
                                    L"/" + platform::WideCStr(common::kProfileFile);
    if (Fetch(profileUrl, m_tempProfile, nullptr, received) != platform::kTransferOk) {
        // No network or no profile: the suite starts as it is, without a word.
        return m_context.stop.IsStopped() ? UpdateResult::Stopped : UpdateResult::NoUpdate;
    }
    m_context.view.StepDone(0);
    m_server = ReadProfile(m_tempProfile);
    const std::u16string localVersion =
        ReadProfile(m_context.suiteFolder + L"\\" + platform::WideCStr(common::kProfileFile)).version;
    if (!common::IsSuiteUpdateOffered(localVersion, m_server.version)) {
        m_context.view.StepDone(1);
        ::DeleteFileW(m_tempProfile.c_str());
        return UpdateResult::NoUpdate;
    }
    const int answer = m_context.reports.Ask(MakeUpdaterReport(UpdaterStep::Question));
    m_context.view.StepDone(1);
    if (answer != IDYES || m_server.files.empty()) {
        ::DeleteFileW(m_tempProfile.c_str());
        return answer != IDYES ? UpdateResult::Declined : UpdateResult::NoUpdate;
    }
    m_lastPercent = 0;
    m_bytesDone = 0;
    m_progressTotal = common::SaturatingAdd(m_server.realSizeTotal, m_server.realSizeTotal);
    if (DWORD code = DownloadAll()) {
        ::DeleteFileW(m_tempProfile.c_str());
        return code == platform::kTransferStopped || m_context.stop.IsStopped() ? UpdateResult::Stopped
                                                                                : UpdateResult::Failed;
    }
    if (InstallAll() != 0) {
        ::DeleteFileW(m_tempProfile.c_str());
        return UpdateResult::Failed;
    }
    m_context.view.StepDone(2);
    return UpdateResult::Updated;
}

DWORD CSuiteUpdater::Fetch(const std::wstring& url, const std::wstring& localPath, const common::CFileInfo* listed,
                           int64_t& received) {
    platform::TransferJob job;
    job.stop = &m_context.stop;
    job.sink = this;
    // Only the listed files count towards the progress bar, and only they have a size and digest to check.
    m_isCounting = listed != nullptr;
    m_context.watch.ticks = 0;
    m_context.watch.isBusy = true;
    const DWORD code = listed != nullptr ? platform::FtpFetchAsListed(url, localPath, *listed, job, received)
                                         : platform::FtpFetch(url, localPath, &job, received);
    m_context.watch.isBusy = false;
    return code;
}

bool CSuiteUpdater::OnChunk(const uint8_t*, size_t size) {
    m_context.watch.ticks = 0;  // a chunk arrived: the connection lives
    if (m_isCounting) {
        m_bytesDone = common::SaturatingAdd(m_bytesDone, static_cast<int64_t>(size));
        ReportPercent();
    }
    return true;
}

void CSuiteUpdater::OnNetworkStep() {
    m_context.watch.ticks = 0;  // a call returned or is about to begin: the watchdog counts from here
}

void CSuiteUpdater::ReportPercent() {
    int percent = common::ProgressPercent(m_bytesDone, m_progressTotal);
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        m_context.view.Percent(percent);
    }
}

DWORD CSuiteUpdater::DownloadAll() {
    const std::wstring folder = platform::ToWide(std::u16string(common::kSuiteFilesFolder));
    for (const common::CFileInfo& entry : m_server.files) {
        const std::wstring local = StagedFile(entry.fileName);
        ::DeleteFileW(local.c_str());  // a partial file of an earlier run is never reused
        int64_t received = 0;
        const std::wstring url = L"FTP://" + m_context.ftpHost + folder + L"/" + platform::ToWide(entry.fileName);
        DWORD code = Fetch(url, local, &entry, received);
        if (code == platform::kTransferFileError) {
            m_bytesDone -= received;
        }
        if (code != platform::kTransferOk) {
            if (code != platform::kTransferStopped && !m_context.stop.IsStopped()) {
                ReportFailure(code);
            }
            return code;
        }
    }
    return 0;
}

DWORD CSuiteUpdater::InstallAll() {
    const std::u16string suite = platform::FromWide(m_context.suiteFolder);
    const std::u16string backup = platform::FromWide(m_context.stagingFolder) + u"\\" + common::kBackupFolder + u"\\";
    std::vector<common::SwapFile> plan;
    std::optional<common::SwapFile> starter;
    for (const common::CFileInfo& entry : m_server.files) {
        std::optional<std::u16string> target = common::SuiteUpdateTarget(suite, entry.fileName);
        if (!target) {
            ReportFailure(ERROR_BAD_PATHNAME);
            return ERROR_BAD_PATHNAME;
        }
        common::SwapFile file{platform::FromWide(StagedFile(entry.fileName)), *target, backup + entry.fileName};
        // The drive root's starter goes last of the files: until then the old one starts the old suite.
        if (common::EqualsIgnoreCase(entry.fileName, common::kStarterProgram)) {
            starter = file;
        } else {
            plan.push_back(file);
        }
        m_bytesDone = common::SaturatingAdd(m_bytesDone, entry.fetchedSize);
    }
    if (starter) {
        plan.push_back(*starter);
    }
    // The version changes only with every file in place.
    const std::u16string profile = common::kProfileFile;
    plan.push_back(
        common::SwapFile{platform::FromWide(m_tempProfile), suite + u"\\" + profile, backup + profile + u".suite"});
    platform::SwapFilesWin files;
    const std::u16string journal = platform::FromWide(m_context.stagingFolder) + u"\\" + common::kSwapJournalName;
    if (common::SwapIn(files, journal, plan) != common::SwapResult::Done) {
        const DWORD code = files.LastError() != 0 ? files.LastError() : ERROR_WRITE_FAULT;
        ReportFailure(code);
        return code;
    }
    ReportPercent();
    platform::DeleteFolderTree(m_context.stagingFolder);
    return 0;
}

void CSuiteUpdater::ReportFailure(DWORD code) {
    m_context.reports.Report(MakeUpdaterReport(UpdaterStep::Failed, code));
}

void StartSuiteAgent(const std::wstring& suiteFolder, platform::IMessageBoxes& boxes) {
    const std::wstring agent = suiteFolder + L"\\" + platform::WideCStr(common::kAgentProgram);
    HINSTANCE started = ::ShellExecuteW(nullptr, L"open", agent.c_str(), nullptr, suiteFolder.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<intptr_t>(started) <= 32) {
        platform::ImmediateReports(boxes, &UpdaterReportText).Report(MakeUpdaterReport(UpdaterStep::AgentNotStarted));
    }
}
