// HTTP and FTP fetches over WinINet.
#include "platform/inet/StoreTransfer.h"

#include <wininet.h>

#include <cwchar>
#include <optional>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "common/store/StoreUrl.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/inet/InetHandle.h"

namespace platform {

namespace {

constexpr DWORD kReadChunk = 8192;
constexpr DWORD kBufferSize = 16384;
constexpr DWORD kReceiveTimeoutMs = 5000;

DWORD LastErrorOr(DWORD fallback) {
    DWORD error = ::GetLastError();
    return error != 0 ? error : fallback;
}

void SetReceiveTimeout(HINTERNET handle) {
    DWORD timeout = kReceiveTimeoutMs;
    ::InternetSetOptionW(handle, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof(timeout));
}

// A fetch's internet handles. The root is lent to the job's stop while the fetch works; when the stop closed it,
// the handles below it are gone too and are only forgotten here.
struct FetchHandles {
    explicit FetchHandles(const TransferJob* job) : stop(job != nullptr ? job->stop : nullptr) {}
    FetchHandles(const FetchHandles&) = delete;
    FetchHandles& operator=(const FetchHandles&) = delete;
    ~FetchHandles() {
        if (isLent && !stop->TakeBack()) {
            request.release();
            connection.release();
            internet.release();
        }
    }
    // Opens the root handle, lends it to the job's stop and gives it the receive timeout, which bounds how long a
    // stopped fetch can stay blocked where closing its handles does not end the call (FTP handles inherit it;
    // Wine's HTTP requests do not, so HttpFetch sets it on its request as well). kTransferOk, kTransferStopped
    // when the job was stopped first, or the error.
    DWORD Open() {
        internet.reset(::InternetOpenW(platform::WideCStr(common::kAgentTitle), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                       nullptr, 0));
        if (!internet) {
            return LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR);
        }
        if (stop != nullptr) {
            isLent = stop->Lend(internet.get(), &::InternetCloseHandle);
            if (!isLent) {
                return kTransferStopped;
            }
        }
        SetReceiveTimeout(internet.get());
        return kTransferOk;
    }

    StopSignal* stop;
    bool isLent = false;
    UniqueInternet internet;
    UniqueInternet connection;
    UniqueInternet request;  // the HTTP request or the FTP file
};

bool IsStopped(const TransferJob* job) {
    return job != nullptr && job->stop != nullptr && job->stop->IsStopped();
}

// The job's sink hears of each network call, so a watchdog sees a slow but live server.
void NetworkStep(const TransferJob* job) {
    if (job != nullptr && job->sink != nullptr) {
        job->sink->OnNetworkStep();
    }
}

// A call that fails once a stop was asked for ends the fetch as stopped, whatever broke it: the closed handle
// (Windows aborts a blocked call when its handle is closed), or the receive timeout (Wine 8 leaves a blocked
// receive running when the handle is closed from another thread; it ends with WSAETIMEDOUT after the timeout).
DWORD Failure(const TransferJob* job, DWORD error) {
    return IsStopped(job) ? kTransferStopped : error;
}

// The local side of a fetch: the file, removed again unless the fetch succeeded.
class LocalFile {
public:
    explicit LocalFile(const std::wstring& path) : m_path(path) {
        m_file.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    ~LocalFile() {
        m_file.reset();
        if (!m_isKept && m_isCreated) {
            ::DeleteFileW(m_path.c_str());
        }
    }
    bool IsOpen() {
        m_isCreated = static_cast<bool>(m_file);
        return m_isCreated;
    }
    bool Write(const void* data, DWORD size) {
        DWORD written = 0;
        return ::WriteFile(m_file.get(), data, size, &written, nullptr) && written == size;
    }
    // Closes the file; it stays only when the close succeeded too.
    bool Keep() {
        HANDLE handle = m_file.release();
        m_isKept = ::CloseHandle(handle) != FALSE;
        return m_isKept;
    }

private:
    std::wstring m_path;
    UniqueFileHandle m_file;
    bool m_isCreated = false;
    bool m_isKept = false;
};

// The transfer loop both schemes share, from an open request or FTP file handle into the local file.
DWORD CopyToFile(HINTERNET source, LocalFile& file, const TransferJob* job, int64_t& byteCounter,
                 std::optional<int64_t> announcedSize) {
    std::vector<char> buffer(kBufferSize, 0);
    int64_t received = 0;
    for (;;) {
        // Reading until a read returns nothing ends where asking for the available bytes first would, with
        // half the calls: under Wine each availability query is a round through the socket layer.
        DWORD read = 0;
        NetworkStep(job);
        const BOOL isRead = ::InternetReadFile(source, buffer.data(), kReadChunk, &read);
        const DWORD error = isRead ? 0 : ::GetLastError();
        NetworkStep(job);
        if (!isRead) {
            if (error == ERROR_NO_MORE_FILES && !IsStopped(job)) {
                break;
            }
            return Failure(job, error != 0 ? error : ERROR_INTERNET_CONNECTION_ABORTED);
        }
        if (IsStopped(job)) {
            return kTransferStopped;
        }
        if (read == 0) {
            break;
        }
        if (!file.Write(buffer.data(), read)) {
            return LastErrorOr(ERROR_WRITE_FAULT);
        }
        received += read;
        byteCounter += read;
        if (job != nullptr && job->sink != nullptr &&
            !job->sink->OnChunk(reinterpret_cast<const uint8_t*>(buffer.data()), read)) {
            return kTransferStopped;
        }
    }
    // A connection closed early looks like the end of the data; the announced size tells them apart.
    if (announcedSize && received < *announcedSize) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    return kTransferOk;
}

std::optional<int64_t> ContentLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof(text);
    if (!::HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
        return std::nullopt;
    }
    wchar_t* end = nullptr;
    long long value = std::wcstoll(text, &end, 10);
    if (end == text || value < 0) {
        return std::nullopt;
    }
    return value;
}

// WinINet under Wine answers FtpGetFileSize with 0, so the size comes from the server's listing.
std::optional<int64_t> ListedSize(HINTERNET connection, const std::wstring& object) {
    WIN32_FIND_DATAW data = {};
    UniqueInternet find(::FtpFindFirstFileW(connection, object.c_str(), &data, INTERNET_FLAG_RELOAD, 0));
    if (!find || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

DWORD HttpFetch(const std::wstring& url, const std::wstring& localPath, const TransferJob* job, int64_t& byteCounter) {
    auto address = common::SplitStoreUrl(FromWide(url), u"HTTP://", INTERNET_DEFAULT_HTTP_PORT);
    if (!address) {
        return kTransferBadScheme;
    }
    FetchHandles handles(job);
    if (DWORD opened = handles.Open()) {
        return opened;
    }
    handles.connection.reset(::InternetConnectW(handles.internet.get(), ToWide(address->host).c_str(), address->port,
                                                L"", L"", INTERNET_SERVICE_HTTP, 0, 0));
    if (!handles.connection) {
        return Failure(job, LastErrorOr(ERROR_INTERNET_CANNOT_CONNECT));
    }
    handles.request.reset(::HttpOpenRequestW(handles.connection.get(), L"GET", ToWide(address->object).c_str(), nullptr,
                                             nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!handles.request) {
        return Failure(job, LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR));
    }
    SetReceiveTimeout(handles.request.get());
    if (!::HttpSendRequestW(handles.request.get(), nullptr, 0, nullptr, 0)) {
        return Failure(job, LastErrorOr(ERROR_INTERNET_CANNOT_CONNECT));
    }
    LocalFile file(localPath);
    if (!file.IsOpen()) {
        return kTransferFileError;
    }
    DWORD result = CopyToFile(handles.request.get(), file, job, byteCounter, ContentLength(handles.request.get()));
    if (result == kTransferOk && !file.Keep()) {
        result = LastErrorOr(ERROR_WRITE_FAULT);
    }
    return result;
}

DWORD FtpFetch(const std::wstring& url, const std::wstring& localPath, const TransferJob* job, int64_t& byteCounter) {
    auto address = common::SplitStoreUrl(FromWide(url), u"FTP://", INTERNET_DEFAULT_FTP_PORT);
    if (!address) {
        return kTransferBadScheme;
    }
    FetchHandles handles(job);
    if (DWORD opened = handles.Open()) {
        return opened;
    }
    // No INTERNET_FLAG_PASSIVE: the store's server expects active mode.
    NetworkStep(job);
    handles.connection.reset(::InternetConnectW(
        handles.internet.get(), ToWide(address->host).c_str(), address->port, platform::WideCStr(common::kStoreFtpUser),
        platform::WideCStr(common::kStoreFtpPassword), INTERNET_SERVICE_FTP, 0, 0));
    if (!handles.connection) {
        return Failure(job, LastErrorOr(ERROR_INTERNET_CANNOT_CONNECT));
    }
    std::wstring object = ToWide(address->object);
    NetworkStep(job);
    std::optional<int64_t> listedSize = ListedSize(handles.connection.get(), object);
    NetworkStep(job);
    LocalFile file(localPath);
    if (!file.IsOpen()) {
        return kTransferFileError;
    }
    handles.request.reset(
        ::FtpOpenFileW(handles.connection.get(), object.c_str(), GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
    NetworkStep(job);
    if (!handles.request) {
        return IsStopped(job) ? kTransferStopped : kTransferFileError;
    }
    DWORD result = CopyToFile(handles.request.get(), file, job, byteCounter, listedSize);
    if (result == kTransferOk && !file.Keep()) {
        result = LastErrorOr(ERROR_WRITE_FAULT);
    }
    return result;
}

}  // namespace platform
