// One package job on the worker thread.
#include "agent/jobs/PackageJobRunner.h"

#include "agent/jobs/JobReports.h"

#include "common/agent/PackageJobs.h"
#include "common/ipc/CopyData.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/model/PageGrid.h"
#include "platform/FileReplace.h"
#include "platform/FileStoreWin.h"
#include "platform/FolderTree.h"
#include "platform/SuiteWindows.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/dom/ProfileLoader.h"
#include "platform/inet/StoreTransfer.h"

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

std::optional<int64_t> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool CanOpenForReading(const std::wstring& path) {
    platform::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(file);
}

// Replaces the target from beside it, then removes the source whatever the copy did. The error code, or 0.
DWORD MoveByCopy(const std::wstring& source, const std::wstring& target) {
    const DWORD code = platform::CopyOver(source, target);
    ::DeleteFileW(source.c_str());
    return code;
}

}  // namespace

CPackageJobRunner::CPackageJobRunner(PackageJobContext context) : m_context(std::move(context)) {}

JobOutcome CPackageJobRunner::Run(const common::QueuedJob& queued) {
    m_job = queued.job;
    m_profile = common::PackageProfile{};
    m_bytesDone = 0;
    m_progressTotal = 0;
    m_lastPercent = 0;

    std::u16string jobFolder;
    if (common::JoinUnder(platform::FromWide(m_context.tempFolder), u"", m_job.packageName.Get(),
                          common::kPathBufferUnits, jobFolder) != common::NameError::None) {
        return Fail(ERROR_BAD_PATHNAME);
    }
    platform::CreateFolderPath(Wide(jobFolder));
    m_downloadProfile = Wide(jobFolder) + L"\\" + platform::WideCStr(common::kProfileFile);
    platform::TransferJob transfer;
    transfer.stop = &m_context.stop;
    int64_t counter = 0;
    std::wstring url = Wide(common::ProfileUrl(platform::FromWide(m_context.httpHost), m_job));
    if (DWORD code = platform::HttpFetch(url, m_downloadProfile, &transfer, counter)) {
        return Fail(code);
    }
    if (platform::LoadProfileFile(m_downloadProfile, m_profile) != common::ProfileError::None) {
        m_context.reports.Report(MakeJobReport(JobStep::ProfileUnreadable));
        return JobOutcome::Dropped;
    }
    common::KeepHead(m_profile.head, m_keptHead);

    const char16_t drive = m_context.moduleFolder.empty() ? u'C' : static_cast<char16_t>(m_context.moduleFolder[0]);
    m_packageFolder = Wide(common::PackageFolder(drive, m_profile.head.alias));
    platform::CreateFolderPath(m_packageFolder);
    // A package whose profile is on the drive is being updated; any other is being installed.
    const bool isUpdate = queued.kind == common::JobKind::Update &&
                          CanOpenForReading(m_packageFolder + L"\\" + platform::WideCStr(common::kProfileFile));
    Announce(
        static_cast<uint32_t>(isUpdate ? common::CopyDataKind::UpdateStarts : common::CopyDataKind::InstallStarts));
    JobOutcome outcome = Install();
    if (outcome == JobOutcome::Cancelled) {
        // The launcher drops the mark it put on the package when it was announced.
        ReportFailure();
    }
    return outcome;
}

JobOutcome CPackageJobRunner::Install() {
    m_progressTotal = m_profile.ProgressTotal();
    if (FetchAll() != 0) {
        return IsCancelled() ? JobOutcome::Cancelled : JobOutcome::Dropped;  // FetchAll has told the user
    }
    if (DWORD code = CopyAll()) {
        if (IsCancelled()) {
            return JobOutcome::Cancelled;
        }
        m_context.reports.Report(MakeJobReport(JobStep::Request, code));
        return JobOutcome::Dropped;
    }
    if (!InstallProfile()) {
        return JobOutcome::Dropped;
    }
    Finish();
    return JobOutcome::Done;
}

JobOutcome CPackageJobRunner::Fail(DWORD code) {
    if (IsCancelled()) {
        return JobOutcome::Cancelled;
    }
    m_context.reports.Report(MakeJobReport(JobStep::Request, code));
    return JobOutcome::Dropped;
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
    common::CEnvironmentFile environment(
        store, platform::FromWide(m_context.moduleFolder + L"\\" + platform::WideCStr(common::kEnvironmentFile)));
    common::AddPackageToEnv(environment, m_job.packageIndex, m_profile.head.alias, programPath);
}

void CPackageJobRunner::ReportFailure() {
    HWND launcher = platform::FindLauncherWindow();
    if (launcher == nullptr) {
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

bool CPackageJobRunner::OnChunk(int64_t bytes) {
    m_bytesDone += bytes;
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

DWORD CPackageJobRunner::FetchAll() {
    const std::u16string temp = platform::FromWide(m_context.tempFolder);
    const std::u16string baseDir = m_keptHead.baseDir.value_or(std::u16string());
    m_bytesDone = 0;
    platform::TransferJob transfer;
    transfer.sink = this;
    transfer.stop = &m_context.stop;
    for (const common::CFileInfo& entry : m_profile.files) {
        if (entry.transferState != common::kTransferPending) {
            continue;
        }
        std::u16string local;
        if (common::DownloadPath(temp, m_profile.head.alias, entry.directory, entry.fileName, local) !=
            common::NameError::None) {
            ReportTransferError(m_job.packageName.Get(), ERROR_BAD_PATHNAME);
            return ERROR_BAD_PATHNAME;
        }
        const std::wstring localPath = Wide(local);
        // A file an earlier job left here is taken only when it is whole.
        std::optional<int64_t> present = FileSize(localPath);
        if (present && *present == entry.fetchedSize) {
            continue;
        }
        platform::CreateFolderPath(FolderOfFile(localPath));
        int64_t received = 0;
        std::wstring url = Wide(common::PackageFileUrl(platform::FromWide(m_context.ftpHost), baseDir,
                                                       m_profile.head.alias, entry.directory, entry.fileName));
        DWORD code = platform::FtpFetch(url, localPath, &transfer, received);
        if (code == platform::kTransferOk && received != entry.fetchedSize) {
            // Not what the profile lists: it is not kept, or the next job would install it.
            code = platform::kTransferFileError;
            m_bytesDone -= received;
            ::DeleteFileW(localPath.c_str());
        }
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
    return 0;
}

DWORD CPackageJobRunner::CopyAll() {
    const std::u16string temp = platform::FromWide(m_context.tempFolder);
    const std::u16string folder = platform::FromWide(m_packageFolder);
    for (const common::CFileInfo& entry : m_profile.files) {
        if (entry.transferState != common::kTransferPending) {
            continue;
        }
        std::u16string source;
        std::u16string target;
        if (common::DownloadPath(temp, m_profile.head.alias, entry.directory, entry.fileName, source) !=
                common::NameError::None ||
            common::InstallPath(folder, entry.directory, entry.fileName, target) != common::NameError::None) {
            ReportTransferError(m_profile.head.alias, ERROR_BAD_PATHNAME);
            return ERROR_BAD_PATHNAME;
        }
        platform::CreateFolderPath(FolderOfFile(Wide(target)));
        if (!OnProgress()) {
            return platform::kTransferStopped;
        }
        if (DWORD code = MoveByCopy(Wide(source), Wide(target))) {
            ReportTransferError(m_profile.head.alias, code);
            return code;
        }
        m_bytesDone += entry.fetchedSize;
    }
    return 0;
}

bool CPackageJobRunner::InstallProfile() {
    // Last of all: until now the drive keeps the profile of what it holds.
    if (DWORD code =
            MoveByCopy(m_downloadProfile, m_packageFolder + L"\\" + platform::WideCStr(common::kProfileFile))) {
        ReportTransferError(m_profile.head.alias, code);
        return false;
    }
    return true;
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
    common::CEnvironmentFile environment(
        store, platform::FromWide(m_context.moduleFolder + L"\\" + platform::WideCStr(common::kEnvironmentFile)));
    common::ClearUpdateFlag(environment, m_job.packageIndex);
}
