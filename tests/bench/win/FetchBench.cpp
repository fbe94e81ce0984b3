// Throughput of the store's FTP fetch against a bare WinINet read loop, timed inside the process.
// usage: fetch_bench.exe FTP_HOST[:PORT] REMOTE_PATH LOCAL_PATH RUNS
//        fetch_bench.exe copy FTP_HOST[:PORT] STAGE_DIR DRIVE_DIR REMOTE_PATH...
// The first prints each run's seconds (ftpfetch.N, bare8k.N, bare64k.N) and the medians (ftpfetch, bare8k, bare64k).
// The second is the floor of an install: each file fetched with the bare loop into STAGE_DIR, then copied to
// DRIVE_DIR under its name; prints the seconds of the whole.
//        fetch_bench.exe install INDEX DIRECTORY NAME HTTP_HOST FTP_HOST MODULE_FOLDER STAGE_DIR DRIVE_DIR RUNS
//                        REMOTE_PATH...
// The third takes turns between the agent's install job (a first install of the store's package INDEX into the
// drive of MODULE_FOLDER, its folder deleted before each run) and the floor above; per run it prints the job's
// seconds from its start to its end (install.N), those of the floor (copy.N, of which copying: copyonly.N) and
// the job's steps as a stand-in launcher window sees them: start to the announcement (profile.N: the profile's
// fetch and checks), to the progress message that ends the fetching (fetch.N: the room check, every file's
// fetch with its SHA-256), to the package's profile in its folder (swap.N: the check for held files, the swap
// with its journal) and to the end message (notice.N: the journal's last state, the staging folder's removal and
// the store's notice); then, alone, the SHA-256 of the installed files read back
// (sha.N), that of the largest in memory in 8 KB and 1 MB pieces (hash8k.N, hash1m.N) and the job's FtpFetch of
// its files without a sink (fetchonly.N).
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "agent/jobs/JobReports.h"
#include "agent/jobs/PackageJobRunner.h"
#include "common/agent/PackageJobs.h"
#include "common/ipc/Messages.h"
#include "common/ipc/SuiteNames.h"
#include "common/store/Profile.h"
#include "platform/FolderTree.h"
#include "platform/Sha256.h"
#include "platform/WideText.h"
#include "platform/WindowBase.h"
#include "platform/framework/FailureReports.h"
#include "platform/framework/RecordingMessageBoxes.h"
#include "platform/inet/InetHandle.h"
#include "platform/inet/StoreTransfer.h"

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The same connection and file calls as the fetch, with nothing else: the floor our own code is measured on.
bool BareLoop(const std::wstring& host, INTERNET_PORT port, const std::wstring& remote, const std::wstring& local,
              DWORD chunk) {
    platform::UniqueInternet internet(::InternetOpenW(L"bench", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    platform::UniqueInternet connection(
        ::InternetConnectW(internet.get(), host.c_str(), port, platform::WideCStr(common::kStoreFtpUser),
                           platform::WideCStr(common::kStoreFtpPassword), INTERNET_SERVICE_FTP, 0, 0));
    platform::UniqueInternet file(
        ::FtpOpenFileW(connection.get(), remote.c_str(), GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
    HANDLE out = ::CreateFileW(local.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (!file || out == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::vector<char> buffer(chunk);
    DWORD read = 0;
    while (::InternetReadFile(file.get(), buffer.data(), chunk, &read) && read > 0) {
        DWORD written = 0;
        ::WriteFile(out, buffer.data(), read, &written, nullptr);
    }
    ::CloseHandle(out);
    return true;
}

template <typename Run>
double TimeOnce(Run run) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    ::QueryPerformanceCounter(&start);
    if (!run()) {
        return -1;
    }
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

std::wstring BaseName(const std::wstring& path) {
    size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

struct HostPort {
    std::wstring host;
    INTERNET_PORT port;
};

HostPort SplitHost(const std::wstring& hostPort) {
    size_t colon = hostPort.find(L':');
    return HostPort{hostPort.substr(0, colon),
                    static_cast<INTERNET_PORT>(colon == std::wstring::npos ? 21 : _wtoi(hostPort.c_str() + colon + 1))};
}

// The floor of an install, once: each file fetched with the bare 8 KB loop into `stage`, then copied to `drive`
// under its name. Seconds, or -1.
// `copying`, when given, gets the seconds spent in the copies.
double FetchAndCopyOnce(const HostPort& server, const std::wstring& stage, const std::wstring& drive,
                        const std::vector<std::wstring>& remotes, double* copying = nullptr) {
    double copies = 0;
    double seconds = TimeOnce([&] {
        for (const std::wstring& remote : remotes) {
            std::wstring name = BaseName(remote);
            std::wstring staged = stage + L"\\" + name;
            if (!BareLoop(server.host, server.port, remote, staged, 8192)) {
                return false;
            }
            double copy =
                TimeOnce([&] { return ::CopyFileW(staged.c_str(), (drive + L"\\" + name).c_str(), FALSE) != FALSE; });
            if (copy < 0) {
                return false;
            }
            copies += copy;
        }
        return true;
    });
    if (copying != nullptr) {
        *copying = copies;
    }
    return seconds;
}

int FetchAndCopy(int argc, wchar_t** argv) {
    double seconds =
        FetchAndCopyOnce(SplitHost(argv[2]), argv[3], argv[4], std::vector<std::wstring>(argv + 5, argv + argc));
    if (seconds < 0) {
        std::fprintf(stderr, "fetch and copy failed\n");
        return 1;
    }
    std::printf("copy %.4f\n", seconds);
    return 0;
}

// Stands in for the launcher: notes when the job's announcement, the progress that ends its fetching and its
// end message arrive.
class LauncherStandIn final : public platform::WindowBase {
public:
    bool Create() {
        WNDCLASSEXW windowClass = {};
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = platform::WideCStr(common::kLauncherClass);
        return WindowBase::Create(windowClass, 0, WS_OVERLAPPEDWINDOW, platform::WideCStr(common::kLauncherTitle), 0, 0,
                                  100, 100);
    }
    void Reset() { announced = fetched = finished = LARGE_INTEGER{}; }

    LARGE_INTEGER announced = {};
    LARGE_INTEGER fetched = {};
    LARGE_INTEGER finished = {};

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        if (message == WM_COPYDATA) {
            announced = now;
            return TRUE;
        }
        // Fetching is the first half of the job's progress; the first percent past it is sent once every file is in.
        if (message == common::kMsgJobProgress && wParam > 50 && fetched.QuadPart == 0) {
            fetched = now;
        }
        if (message == common::kMsgJobFinished) {
            finished = now;
        }
        return message >= WM_USER ? 0 : WindowBase::WndProc(message, wParam, lParam);
    }
};

struct JobRun {
    CPackageJobRunner* runner;
    common::QueuedJob job;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    JobOutcome outcome;
};

DWORD WINAPI RunJob(void* parameter) {
    auto* run = static_cast<JobRun*>(parameter);
    ::QueryPerformanceCounter(&run->start);
    run->outcome = run->runner->Run(run->job);
    ::QueryPerformanceCounter(&run->end);
    return 0;
}

// Runs the job on a thread of its own, as the agent's worker does, while this thread answers the launcher's
// messages; false when it did not install. Once the fetching has ended, `swapped` is stamped when the package's
// profile, the last file the swap moves in, is in its folder (looked for every millisecond only from then on, so
// the fetch runs undisturbed).
bool RunInstall(JobRun& run, const LauncherStandIn& launcher, const std::wstring& profile, LARGE_INTEGER& swapped) {
    swapped = LARGE_INTEGER{};
    HANDLE thread = ::CreateThread(nullptr, 0, &RunJob, &run, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
        }
        const bool isSwapping = launcher.fetched.QuadPart != 0 && swapped.QuadPart == 0;
        if (isSwapping && ::GetFileAttributesW(profile.c_str()) != INVALID_FILE_ATTRIBUTES) {
            ::QueryPerformanceCounter(&swapped);
        }
        if (::MsgWaitForMultipleObjects(1, &thread, FALSE, isSwapping ? 1 : INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) {
            break;
        }
    }
    ::CloseHandle(thread);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&msg);
    }
    return run.outcome == JobOutcome::Done;
}

// The SHA-256 the job computes as the file arrives, alone: `bytes` hashed `chunk` bytes at a time.
bool HashInMemory(const std::string& bytes, size_t chunk) {
    platform::Sha256 hash;
    for (size_t at = 0; at < bytes.size(); at += chunk) {
        hash.Update(bytes.data() + at, std::min(chunk, bytes.size() - at));
    }
    return hash.Finish().has_value();
}

std::string ReadWhole(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return bytes;
    }
    bytes.resize(::GetFileSize(file, nullptr));
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

// The path in the package folder of the largest of the fetched files ("/.../<name>/<path in the package>").
std::wstring LargestInstalled(const std::wstring& packageFolder, const std::wstring& name,
                              const std::vector<std::wstring>& fetched) {
    std::wstring largest;
    ULONGLONG largestSize = 0;
    for (const std::wstring& remote : fetched) {
        size_t at = remote.find(L"/" + name + L"/");
        if (at == std::wstring::npos) {
            continue;
        }
        std::wstring path = packageFolder + remote.substr(at + name.size() + 1);
        std::replace(path.begin(), path.end(), L'/', L'\\');
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ULONGLONG size = ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)
                             ? (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow
                             : 0;
        if (largest.empty() || size > largestSize) {
            largest = path;
            largestSize = size;
        }
    }
    return largest;
}

bool HashFiles(const std::wstring& folder) {
    WIN32_FIND_DATAW found = {};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        std::wstring path = folder + L"\\" + name;
        ok =
            ok && ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? HashFiles(path)
                                                                            : platform::Sha256OfFile(path).has_value());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
    return ok;
}

int InstallAndCopy(int argc, wchar_t** argv) {
    const int32_t index = _wtoi(argv[2]);
    const std::u16string directory = platform::FromWide(argv[3]);
    const std::u16string name = platform::FromWide(argv[4]);
    const std::wstring moduleFolder = argv[7];
    const std::wstring stage = argv[8];
    const std::wstring drive = argv[9];
    const int runs = _wtoi(argv[10]);
    const std::vector<std::wstring> remotes(argv + 11, argv + argc);
    // What the job fetches over FTP: the files but the profile, which it takes over HTTP.
    std::vector<std::wstring> fetched;
    for (const std::wstring& remote : remotes) {
        if (BaseName(remote) != platform::WideCStr(common::kProfileFile)) {
            fetched.push_back(remote);
        }
    }
    std::optional<common::PackageJob> job = common::MakePackageJob(index, directory, name);
    LauncherStandIn launcher;
    if (!job || !launcher.Create()) {
        std::fprintf(stderr, "no job or no launcher window\n");
        return 2;
    }
    const std::wstring packageFolder =
        platform::ToWide(common::PackageFolder(static_cast<char16_t>(moduleFolder[0]), name));
    platform::StopSignal stop;
    platform::RecordingMessageBoxes boxes;
    platform::ImmediateReports reports{boxes, &JobReportText};
    CPackageJobRunner runner(PackageJobContext{stop, reports, moduleFolder,
                                               moduleFolder + L"\\" + platform::WideCStr(common::kStagingFolder),
                                               argv[5], argv[6], platform::StoreLogin{L"bench", L"bench"}});
    const HostPort server = SplitHost(argv[6]);
    for (int i = 0; i < runs; ++i) {
        // The floor: each file with the bare loop into a fresh folder, copied to the drive.
        double copying = 0;
        auto runFloor = [&] {
            platform::DeleteFolderTree(stage);
            platform::DeleteFolderTree(drive);
            ::CreateDirectoryW(stage.c_str(), nullptr);
            ::CreateDirectoryW(drive.c_str(), nullptr);
            return FetchAndCopyOnce(server, stage, drive, remotes, &copying);
        };
        // Every other run the floor goes first: whatever the runs before left to the disk's write-back then falls
        // on both alike.
        const bool isFloorFirst = i % 2 == 1;
        double copy = isFloorFirst ? runFloor() : 0;
        platform::DeleteFolderTree(packageFolder);
        launcher.Reset();
        JobRun run{&runner, common::QueuedJob{common::JobKind::Install, *job}, {}, {}, JobOutcome::Dropped};
        LARGE_INTEGER swapped = {};
        if (!RunInstall(run, launcher, packageFolder + L"\\" + platform::WideCStr(common::kProfileFile), swapped)) {
            std::fwprintf(stderr, L"the job did not install: %ls\n",
                          boxes.boxes().empty() ? L"no message" : boxes.boxes().back().text.c_str());
            return 1;
        }
        if (!isFloorFirst) {
            copy = runFloor();
        }
        double sha = TimeOnce([&] { return HashFiles(packageFolder); });
        const std::string largest = ReadWhole(LargestInstalled(packageFolder, platform::ToWide(name), fetched));
        double hash8k = TimeOnce([&] { return HashInMemory(largest, 8192); });
        double hash1m = TimeOnce([&] { return HashInMemory(largest, 1 << 20); });
        // The job's own fetch of each file without its sink (no hashing, no progress), into the floor's folder.
        platform::DeleteFolderTree(stage);
        ::CreateDirectoryW(stage.c_str(), nullptr);
        double fetchOnly = TimeOnce([&] {
            for (const std::wstring& remote : fetched) {
                int64_t counter = 0;
                if (platform::FtpFetch(L"FTP://" + std::wstring(argv[6]) + remote, stage + L"\\" + BaseName(remote),
                                       nullptr, counter) != platform::kTransferOk) {
                    return false;
                }
            }
            return true;
        });
        if (copy < 0 || sha < 0 || largest.empty() || fetchOnly < 0 || launcher.announced.QuadPart == 0 ||
            launcher.fetched.QuadPart == 0 || launcher.finished.QuadPart == 0 || swapped.QuadPart == 0) {
            std::fprintf(stderr, "the floor, the read-back or a message of the job failed\n");
            return 1;
        }
        std::printf(
            "install.%d %.4f\ncopy.%d %.4f\ncopyonly.%d %.4f\nprofile.%d %.4f\nfetch.%d %.4f\nswap.%d %.4f\nnotice.%d "
            "%.4f\n"
            "sha.%d %.4f\nhash8k.%d %.4f\nhash1m.%d %.4f\nfetchonly.%d %.4f\n",
            i, Seconds(run.start, run.end), i, copy, i, copying, i, Seconds(run.start, launcher.announced), i,
            Seconds(launcher.announced, launcher.fetched), i, Seconds(launcher.fetched, swapped), i,
            Seconds(swapped, launcher.finished), i, sha, i, hash8k, i, hash1m, i, fetchOnly);
        std::fflush(stdout);
    }
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc >= 12 && std::wstring(argv[1]) == L"install") {
        return InstallAndCopy(argc, argv);
    }
    if (argc >= 6 && std::wstring(argv[1]) == L"copy") {
        return FetchAndCopy(argc, argv);
    }
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: fetch_bench FTP_HOST[:PORT] REMOTE_PATH LOCAL_PATH RUNS\n");
        return 2;
    }
    std::wstring hostPort = argv[1];
    std::wstring remote = argv[2];
    std::wstring local = argv[3];
    int runs = _wtoi(argv[4]);
    size_t colon = hostPort.find(L':');
    std::wstring host = hostPort.substr(0, colon);
    auto port = static_cast<INTERNET_PORT>(colon == std::wstring::npos ? 21 : _wtoi(hostPort.c_str() + colon + 1));

    // The three ways take turns, so a busy moment of the shared machine falls on all of them alike.
    const char* names[] = {"ftpfetch", "bare8k", "bare64k"};
    std::vector<double> times[3];
    for (int i = 0; i < runs; ++i) {
        double run[3] = {
            TimeOnce([&] {
                int64_t counter = 0;
                return platform::FtpFetch(L"FTP://" + hostPort + remote, local, nullptr, counter) ==
                       platform::kTransferOk;
            }),
            TimeOnce([&] { return BareLoop(host, port, remote, local, 8192); }),
            TimeOnce([&] { return BareLoop(host, port, remote, local, 65536); }),
        };
        for (int way = 0; way < 3; ++way) {
            if (run[way] < 0) {
                std::fprintf(stderr, "%s failed\n", names[way]);
                return 1;
            }
            times[way].push_back(run[way]);
            std::printf("%s.%d %.4f\n", names[way], i, run[way]);
        }
    }
    double fetch = Median(times[0]);
    double bare8 = Median(times[1]);
    double bare64 = Median(times[2]);
    std::printf("ftpfetch %.4f\nbare8k %.4f\nbare64k %.4f\n", fetch, bare8, bare64);
    return fetch > 0 && bare8 > 0 && bare64 > 0 ? 0 : 1;
}
