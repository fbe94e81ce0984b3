// Throughput of the store's FTP fetch against a bare WinINet read loop, timed inside the process.
// usage: fetch_bench.exe FTP_HOST[:PORT] REMOTE_PATH LOCAL_PATH RUNS
//        fetch_bench.exe copy FTP_HOST[:PORT] STAGE_DIR DRIVE_DIR REMOTE_PATH...
// The first prints each run's seconds (ftpfetch.N, bare8k.N, bare64k.N) and the medians (ftpfetch, bare8k, bare64k).
// The second is the floor of an install: each file fetched with the bare loop into STAGE_DIR, then copied to
// DRIVE_DIR under its name; prints the seconds of the whole.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "platform/WideText.h"
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

int FetchAndCopy(int argc, wchar_t** argv) {
    std::wstring hostPort = argv[2];
    size_t colon = hostPort.find(L':');
    std::wstring host = hostPort.substr(0, colon);
    auto port = static_cast<INTERNET_PORT>(colon == std::wstring::npos ? 21 : _wtoi(hostPort.c_str() + colon + 1));
    std::wstring stage = argv[3];
    std::wstring drive = argv[4];
    double seconds = TimeOnce([&] {
        for (int i = 5; i < argc; ++i) {
            std::wstring name = BaseName(argv[i]);
            std::wstring staged = stage + L"\\" + name;
            if (!BareLoop(host, port, argv[i], staged, 8192) ||
                !::CopyFileW(staged.c_str(), (drive + L"\\" + name).c_str(), FALSE)) {
                return false;
            }
        }
        return true;
    });
    if (seconds < 0) {
        std::fprintf(stderr, "fetch and copy failed\n");
        return 1;
    }
    std::printf("copy %.4f\n", seconds);
    return 0;
}

int wmain(int argc, wchar_t** argv) {
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
