// The updater's work on its worker thread.
#include "updater/SuiteUpdater.h"

#include "updater/UpdaterReports.h"

#include <shellapi.h>

#include <optional>
#include <vector>

#include "common/agent/PackageJobs.h"
#include "common/ipc/SuiteNames.h"
#include "common/store/Profile.h"
#include "platform/FileBytes.h"
#include "platform/FileReplace.h"
#include "platform/FolderTree.h"
#include "platform/WideText.h"
#include "platform/inet/StoreTransfer.h"

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

// Copies `source` beside `target` and moves the copy over it in one step; the source is deleted afterwards
// either way. The Windows error code, or 0.
DWORD InstallFile(const std::wstring& source, const std::wstring& target) {
    const DWORD code = platform::CopyOver(source, target);
    ::DeleteFileW(source.c_str());
    return code;
}

}  // namespace

CSuiteUpdater::CSuiteUpdater(SuiteUpdaterContext context) : m_context(std::move(context)) {}

std::wstring CSuiteUpdater::TempFile(const std::u16string& name) const {
    return m_context.tempFolder + L"\\Launcher\\" + platform::ToWide(name);
}

UpdateResult CSuiteUpdater::Run() {
    platform::CreateFolderPath(m_context.tempFolder + L"\\Launcher");
    m_tempProfile = TempFile(common::kProfileFile);
    int64_t received = 0;
    const std::wstring profileUrl = L"FTP://" + m_context.ftpHost + platform::WideCStr(common::kSuiteProfileFolder) +
                                    L"/" + platform::WideCStr(common::kProfileFile);
    if (Fetch(profileUrl, m_tempProfile, false, received) != platform::kTransferOk) {
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

DWORD CSuiteUpdater::Fetch(const std::wstring& url, const std::wstring& localPath, bool withProgress,
                           int64_t& received) {
    platform::TransferJob job;
    job.stop = &m_context.stop;
    job.sink = withProgress ? this : nullptr;
    m_context.watch.ticks = 0;
    m_context.watch.isBusy = true;
    DWORD code = platform::FtpFetch(url, localPath, &job, received);
    m_context.watch.isBusy = false;
    return code;
}

bool CSuiteUpdater::OnChunk(const uint8_t*, size_t size) {
    m_bytesDone = common::SaturatingAdd(m_bytesDone, static_cast<int64_t>(size));
    m_context.watch.ticks = 0;  // a chunk arrived: the connection lives
    ReportPercent();
    return true;
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
        const std::wstring local = TempFile(entry.fileName);
        ::DeleteFileW(local.c_str());  // a partial file of an earlier run is never reused
        int64_t received = 0;
        const std::wstring url = L"FTP://" + m_context.ftpHost + folder + L"/" + platform::ToWide(entry.fileName);
        DWORD code = Fetch(url, local, true, received);
        if (code == platform::kTransferOk && received != entry.fetchedSize) {
            code = platform::kTransferFileError;
            m_bytesDone -= received;
            ::DeleteFileW(local.c_str());
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
    for (const common::CFileInfo& entry : m_server.files) {
        std::optional<std::u16string> target =
            common::SuiteUpdateTarget(platform::FromWide(m_context.suiteFolder), entry.fileName);
        ReportPercent();
        DWORD code = target ? InstallFile(TempFile(entry.fileName), platform::ToWide(*target)) : ERROR_BAD_PATHNAME;
        if (code != 0) {
            ReportFailure(code);
            return code;
        }
        m_bytesDone = common::SaturatingAdd(m_bytesDone, entry.fetchedSize);
    }
    // The version changes only now that every file is in place.
    if (DWORD code =
            InstallFile(m_tempProfile, m_context.suiteFolder + L"\\" + platform::WideCStr(common::kProfileFile))) {
        ReportFailure(code);
        return code;
    }
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
