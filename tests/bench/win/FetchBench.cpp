// Throughput of the store's FTP fetch against a bare WinINet read loop, timed inside the process.
// usage: fetch_bench.exe FTP_HOST[:PORT] REMOTE_PATH LOCAL_PATH RUNS
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
double Median(int runs, Run run) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&start);
        if (!run()) {
            return -1;
        }
        ::QueryPerformanceCounter(&end);
        times.push_back(Seconds(start, end));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
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

    double fetch = Median(runs, [&] {
        int64_t counter = 0;
        return platform::FtpFetch(L"FTP://" + hostPort + remote, local, nullptr, counter) == platform::kTransferOk;
    });
    double bare8 = Median(runs, [&] { return BareLoop(host, port, remote, local, 8192); });
    double bare64 = Median(runs, [&] { return BareLoop(host, port, remote, local, 65536); });
    std::printf("ftpfetch %.4f\nbare8k %.4f\nbare64k %.4f\n", fetch, bare8, bare64);
    return fetch > 0 && bare8 > 0 && bare64 > 0 ? 0 : 1;
}
