// One package job on the worker thread.
#include "agent/jobs/PackageJobRunner.h"

#include "agent/jobs/JobReports.h"
#include "common/agent/PackageJobs.h"
#include "common/install/StagingLayout.h"
#include "common/ipc/CopyData.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/model/PageGrid.h"
#include "common/text/TextUtil.h"
#include "platform/FileReplace.h"
#include "platform/FileStoreWin.h"
#include "platform/FolderTree.h"
#include "platform/SuiteWindows.h"
#include "platform/SwapFilesWin.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/dom/ProfileLoader.h"
#include "platform/inet/StoreTransfer.h"
#include "platform/inet/VerifiedFetch.h"

namespace {

constexpr wchar_t kInstalledNotice[] = L"/apps/update_Set.asp";
constexpr UINT kSendTimeoutMs = 10000;

std::wstring Wide(const std::u16string& text) {
    return platform::ToWide(text);
}

// A launcher that does not answer must not hold the worker for ever.
void SendToLauncher(HWND launcher, uint32_t kind, const void* data, size_t size) {
    COPYDATASTRUCT copy = {};
    copy.dwData = kind;
    copy.cbData = static_cast<DWORD>(size);
    copy.lpData = const_cast<void*>(data);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(launcher, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, kSendTimeoutMs,
                          &result);
}

std::wstring FolderOfFile(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CanOpenForReading(const std::wstring& path) {
    platform::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

}  // namespace

CPackageJobRunner::CPackageJobRunner(PackageJobContext context) : m_context(std::move(context)) {}

std::wstring CPackageJobRunner::EnvironmentPath() const {
    return m_context.moduleFolder + L"\\" + platform::WideCStr(common::kEnvironmentFile);
}

JobOutcome CPackageJobRunner::Run(const common::QueuedJob& queued) {
    m_job = queued.job;
    m_profile = common::PackageProfile{};
    m_bytesDone = 0;
    m_progressTotal = 0;
    m_lastPercent = 0;

    // The job's own folder is named by the store's number, which no name from the store can reach.
    m_staging = m_context.stagingFolder + L"\\" + std::to_wstring(static_cast<uint32_t>(m_job.packageIndex));
    platform::CreateFolderPath(m_staging);
    m_stagedProfile = m_staging + L"\\" + platform::WideCStr(common::kProfileFile);
    platform::TransferJob transfer;
    transfer.stop = &m_context.stop;
    int64_t counter = 0;
    std::wstring url = Wide(common::ProfileUrl(platform::FromWide(m_context.httpHost), m_job));
    if (DWORD code = platform::HttpFetch(url, m_stagedProfile, &transfer, counter)) {
        return Fail(code);
    }
    if (platform::LoadProfileFile(m_stagedProfile, m_profile) != common::ProfileError::None) {
        ::DeleteFileW(m_stagedProfile.c_str());
        m_context.reports.Report(MakeJobReport(JobStep::ProfileUnreadable));
        return JobOutcome::Dropped;
    }
    common::KeepHead(m_profile.head, m_keptHead);

    const char16_t drive = m_context.moduleFolder.empty() ? u'C' : static_cast<char16_t>(m_context.moduleFolder[0]);
    m_packageFolder = Wide(common::PackageFolder(drive, m_profile.head.alias));
    m_hadPackageFolder = Exists(m_packageFolder);
    m_hadPackage = CanOpenForReading(m_packageFolder + L"\\" + platform::WideCStr(common::kProfileFile));
    // A package whose profile is on the drive is being updated; any other is being installed.
    const bool isUpdate = queued.kind == common::JobKind::Update && m_hadPackage;
    Announce(
        static_cast<uint32_t>(isUpdate ? common::CopyDataKind::UpdateStarts : common::CopyDataKind::InstallStarts));
    JobOutcome outcome = Install();
    if (outcome == JobOutcome::Cancelled) {
        // The launcher drops the mark it put on the package when it was announced.
        ReportFailure();
    }
    if (outcome != JobOutcome::Done && !m_hadPackageFolder) {
        platform::DeleteFolderTree(m_packageFolder);  // a first install that failed leaves nothing behind
    }
    return outcome;
}

JobOutcome CPackageJobRunner::Install() {
    m_progressTotal = m_profile.ProgressTotal();
    std::vector<common::SwapFile> plan;
    if (!PlanSwap(plan) || !HasRoomFor(plan)) {
        return JobOutcome::Dropped;
    }
    if (FetchAll(plan) != 0) {
        return IsCancelled() ? JobOutcome::Cancelled : JobOutcome::Dropped;  // FetchAll has told the user
    }
    if (!OnProgress()) {
        return JobOutcome::Cancelled;
    }
    if (IsAnyTargetBusy(plan)) {
        return JobOutcome::Dropped;
    }
    return SwapIn(plan);
}

JobOutcome CPackageJobRunner::Fail(DWORD code) {
    if (IsCancelled()) {
        return JobOutcome::Cancelled;
    }
    m_context.reports.Report(MakeJobReport(JobStep::Request, code));
    return JobOutcome::Dropped;
}

bool CPackageJobRunner::PlanSwap(std::vector<common::SwapFile>& plan) {
    const std::u16string staged =
        platform::FromWide(m_staging + L"\\" + platform::WideCStr(common::kStagedFilesFolder));
    const std::u16string backup = platform::FromWide(m_staging + L"\\" + platform::WideCStr(common::kBackupFolder));
    const std::u16string folder = platform::FromWide(m_packageFolder);
    plan.clear();
    m_planEntries.clear();
    for (const common::CFileInfo& entry : m_profile.files) {
        if (entry.transferState != common::kTransferPending) {
            continue;
        }
        // The drive's profile is the job's own, put in last; a file list naming it again is not followed.
        if (entry.directory.empty() && common::EqualsIgnoreCase(entry.fileName, common::kProfileFile)) {
            continue;
        }
        common::SwapFile file;
        if (common::InstallPath(staged, entry.directory, entry.fileName, file.staged) != common::NameError::None ||
            common::InstallPath(folder, entry.directory, entry.fileName, file.target) != common::NameError::None ||
            common::InstallPath(backup, entry.directory, entry.fileName, file.backup) != common::NameError::None) {
            ReportTransferError(m_job.packageName.Get(), ERROR_BAD_PATHNAME);
            return false;
        }
        plan.push_back(file);
        m_planEntries.push_back(&entry);
    }
    const std::u16string profile = common::kProfileFile;
    plan.push_back(common::SwapFile{platform::FromWide(m_stagedProfile), folder + u"\\" + profile,
                                    backup + u"\\" + profile + u".drive"});
    m_planEntries.push_back(nullptr);
    return true;
}

bool CPackageJobRunner::HasRoomFor(const std::vector<common::SwapFile>& plan) {
    // Moving the old files aside and the new ones in are renames on this drive: only the fetches need room.
    int64_t needed = 0;
    for (size_t index = 0; index < plan.size(); ++index) {
        if (m_planEntries[index] != nullptr &&
            !platform::IsFileAsListed(Wide(plan[index].staged), *m_planEntries[index])) {
            needed = common::SaturatingAdd(needed, std::max<int64_t>(m_planEntries[index]->fetchedSize, 0));
        }
    }
    ULARGE_INTEGER available = {};
    if (!::GetDiskFreeSpaceExW(m_staging.c_str(), &available, nullptr, nullptr) ||
        available.QuadPart >= static_cast<ULONGLONG>(needed)) {
        return true;  // a drive that cannot tell lets the fetch find out
    }
    ReportTransferError(m_job.packageName.Get(), ERROR_DISK_FULL);
    return false;
}

bool CPackageJobRunner::IsAnyTargetBusy(const std::vector<common::SwapFile>& plan) {
    for (const common::SwapFile& file : plan) {
        if (platform::IsFileHeld(Wide(file.target))) {
            m_context.reports.Report(MakeJobReport(JobStep::TargetBusy, 0, Wide(m_job.packageName.Get())));
            ReportFailure();
            return true;
        }
    }
    return false;
}

JobOutcome CPackageJobRunner::SwapIn(const std::vector<common::SwapFile>& plan) {
    platform::SwapFilesWin files;
    const common::SwapResult result = common::SwapIn(
        files, platform::FromWide(m_staging + L"\\" + platform::WideCStr(common::kSwapJournalName)), plan);
    if (result != common::SwapResult::Done) {
        // Rolled back, the drive holds the old version whole; otherwise the journal stays for the next start.
        ReportTransferError(m_profile.head.alias, files.LastError() != 0 ? files.LastError() : ERROR_WRITE_FAULT);
        return JobOutcome::Dropped;
    }
    platform::DeleteFolderTree(m_staging);
    Finish();
    return JobOutcome::Done;
}

void CPackageJobRunner::Announce(uint32_t kind) {
    const std::u16string programPath = common::PackageProgramPath(static_cast<char16_t>(m_packageFolder[0]),
                                                                  m_profile.head.alias, m_profile.head.exeFile);
    if (HWND launcher = platform::FindLauncherWindow()) {
        common::PackageAnnounce announce;
        announce.packageId = m_job.packageIndex;
        announce.caption = m_profile.head.alias;
        announce.programPath = programPath;
        uint8_t bytes[common::PackageAnnounce::kSize];
        announce.Write(bytes);
        SendToLauncher(launcher, kind, bytes, sizeof(bytes));
        return;
    }
    platform::FileStoreWin store;
    common::CEnvironmentFile environment(store, platform::FromWide(EnvironmentPath()));
    common::AddPackageToEnv(environment, m_job.packageIndex, m_profile.head.alias, programPath);
}

void CPackageJobRunner::ReportFailure() {
    HWND launcher = platform::FindLauncherWindow();
    if (m_hadPackage) {
        // The drive still holds the package as it was: its item stays, without the mark of the job.
        if (launcher != nullptr) {
            ::PostMessageW(launcher, common::kMsgJobFinished, 0, static_cast<LPARAM>(m_job.packageIndex));
            return;
        }
        platform::FileStoreWin store;
        common::CEnvironmentFile environment(store, platform::FromWide(EnvironmentPath()));
        common::ClearUpdateFlag(environment, m_job.packageIndex);
        return;
    }
    if (launcher == nullptr) {
        // The entry the announcement made in the file would point at a program that never came.
        platform::FileStoreWin store;
        common::CEnvironmentFile environment(store, platform::FromWide(EnvironmentPath()));
        common::RemoveInstallingPackage(environment, m_job.packageIndex);
        return;
    }
    common::PackageRecord record;
    record.pkgId = m_job.packageIndex;
    record.caption.Set(m_job.packageName.Get());
    uint8_t bytes[common::PackageRecord::kSize];
    record.ToBytes(bytes);
    SendToLauncher(launcher, static_cast<uint32_t>(common::CopyDataKind::RemoveItem), bytes, sizeof(bytes));
}

void CPackageJobRunner::ReportTransferError(const std::u16string& name, DWORD code) {
    m_context.reports.Report(MakeJobReport(JobStep::Transfer, code, Wide(name)));
    ReportFailure();
}

bool CPackageJobRunner::OnChunk(const uint8_t*, size_t size) {
    m_bytesDone += static_cast<int64_t>(size);
    return OnProgress();
}

bool CPackageJobRunner::OnProgress() {
    if (IsCancelled()) {
        return false;  // whether or not the launcher runs
    }
    int32_t percent = common::ProgressPercent(m_bytesDone, m_progressTotal);
    if (percent == m_lastPercent) {
        return true;
    }
    m_lastPercent = percent;
    if (HWND launcher = platform::FindLauncherWindow()) {
        ::PostMessageW(launcher, common::kMsgJobProgress, static_cast<WPARAM>(percent),
                       static_cast<LPARAM>(m_job.packageIndex));
    }
    return true;
}

DWORD CPackageJobRunner::FetchAll(const std::vector<common::SwapFile>& plan) {
    m_bytesDone = 0;
    for (size_t index = 0; index < plan.size(); ++index) {
        const common::CFileInfo* entry = m_planEntries[index];
        if (entry == nullptr) {
            continue;  // the profile, fetched first
        }
        DWORD code = FetchOne(*entry, Wide(plan[index].staged));
        if (code == platform::kTransferStopped) {
            return code;
        }
        if (code != platform::kTransferOk) {
            if (!IsCancelled()) {
                ReportTransferError(m_job.packageName.Get(), code);
            }
            return code;
        }
    }
    // Fetching counts for half of the progress, installing for the other half, as the total is made.
    m_bytesDone = common::SaturatingAdd(m_bytesDone, m_profile.totalRealSize);
    return 0;
}

DWORD CPackageJobRunner::FetchOne(const common::CFileInfo& entry, const std::wstring& staged) {
    // A file an earlier job left here is taken only when it is whole.
    if (platform::IsFileAsListed(staged, entry)) {
        return platform::kTransferOk;
    }
    platform::CreateFolderPath(FolderOfFile(staged));
    platform::TransferJob transfer;
    transfer.sink = this;
    transfer.stop = &m_context.stop;
    int64_t received = 0;
    const std::u16string baseDir = m_keptHead.baseDir.value_or(std::u16string());
    std::wstring url = Wide(common::PackageFileUrl(platform::FromWide(m_context.ftpHost), baseDir, m_profile.head.alias,
                                                   entry.directory, entry.fileName));
    DWORD code = platform::FtpFetchAsListed(url, staged, entry, transfer, received);
    if (code == platform::kTransferFileError) {
        m_bytesDone -= received;  // the file is gone again
    }
    return code;
}

void CPackageJobRunner::Finish() {
    if (DWORD code =
            platform::SendStoreNotice(m_context.httpHost, kInstalledNotice, m_context.login, m_job.packageIndex)) {
        m_context.reports.Report(MakeJobReport(JobStep::Notice, code));
    }
    if (HWND launcher = platform::FindLauncherWindow()) {
        ::PostMessageW(launcher, common::kMsgJobFinished, 0, static_cast<LPARAM>(m_job.packageIndex));
        return;
    }
    platform::FileStoreWin store;
    common::CEnvironmentFile environment(store, platform::FromWide(EnvironmentPath()));
    common::ClearUpdateFlag(environment, m_job.packageIndex);
}
