// HTTP and FTP fetches over WinINet.
#include "platform/inet/StoreTransfer.h"

#include <wininet.h>

#include <cwchar>
#include <functional>
#include <optional>
#include <vector>

#include "common/ipc/SuiteNames.h"
#include "common/store/StoreUrl.h"
#include "common/text/Utf.h"
#include "platform/UniqueHandle.h"
#include "platform/WideText.h"
#include "platform/inet/InetHandle.h"
#include "platform/inet/NameSpellings.h"
#include "platform/inet/RawFtpSession.h"

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

// Reads at most `size` bytes of the remote file: false on a failure, with its error; `read` 0 at the end.
using ReadChunk = std::function<bool(char* buffer, DWORD size, DWORD& read, DWORD& error)>;

// Reading until a read returns nothing ends where asking for the available bytes first would, with half the
// calls: under Wine each availability query is a round through the socket layer.
ReadChunk InternetReader(HINTERNET source) {
    return [source](char* buffer, DWORD size, DWORD& read, DWORD& error) {
        if (::InternetReadFile(source, buffer, size, &read)) {
            return true;
        }
        error = ::GetLastError();
        return false;
    };
}

// The transfer loop both schemes share, from an open request, FTP file or data connection into the local file.
DWORD CopyToFile(const ReadChunk& readChunk, LocalFile& file, const TransferJob* job, int64_t& byteCounter,
                 std::optional<int64_t> announcedSize) {
    std::vector<char> buffer(kBufferSize, 0);
    int64_t received = 0;
    for (;;) {
        DWORD read = 0;
        DWORD error = 0;
        NetworkStep(job);
        const bool isRead = readChunk(buffer.data(), kReadChunk, read, error);
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

// The server's reply that ended the FTP file just closed on this thread: a refusal (4xx, 5xx) means the server
// broke the transfer off. Without a readable reply the caller's own size check decides.
DWORD FtpTransferEnd() {
    DWORD error = 0;
    wchar_t text[512] = {};
    DWORD length = sizeof(text) / sizeof(text[0]);
    if (!::InternetGetLastResponseInfoW(&error, text, &length) || length < 3) {
        return kTransferOk;
    }
    return text[0] == L'4' || text[0] == L'5' ? ERROR_INTERNET_CONNECTION_ABORTED : kTransferOk;
}

// The file over a connection of our own, for each other spelling of its path until the server opens one.
DWORD FetchByOtherSpellings(const common::StoreUrl& address, const std::wstring& object, LocalFile& file,
                            const TransferJob* job, int64_t& byteCounter) {
    for (const std::string& spelling : OtherNameSpellings(object)) {
        if (IsStopped(job)) {
            return kTransferStopped;
        }
        RawFtpSession session;
        DWORD result =
            session.Login(common::Utf16ToUtf8(address.host), address.port, common::Utf16ToUtf8(common::kStoreFtpUser),
                          common::Utf16ToUtf8(common::kStoreFtpPassword));
        if (result == kTransferOk) {
            result = session.Retrieve(spelling);
        }
        if (result == kTransferFileError) {
            continue;
        }
        if (result == kTransferOk) {
            ReadChunk reader = [&session](char* buffer, DWORD size, DWORD& read, DWORD& error) {
                return session.Read(buffer, size, read, error);
            };
            result = CopyToFile(reader, file, job, byteCounter, std::nullopt);
        }
        if (result == kTransferOk) {
            result = session.Finish();
        }
        return Failure(job, result);
    }
    return IsStopped(job) ? kTransferStopped : kTransferFileError;
}

// A GET of the object on the connection, sent: kTransferOk or the error.
DWORD SendGet(HINTERNET connection, const std::wstring& object, UniqueInternet& request) {
    request.reset(::HttpOpenRequestW(connection, L"GET", object.c_str(), nullptr, nullptr, nullptr,
                                     INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request) {
        return LastErrorOr(ERROR_INTERNET_INTERNAL_ERROR);
    }
    SetReceiveTimeout(request.get());
    if (!::HttpSendRequestW(request.get(), nullptr, 0, nullptr, 0)) {
        return LastErrorOr(ERROR_INTERNET_CANNOT_CONNECT);
    }
    return kTransferOk;
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
    const std::wstring object = ToWide(address->object);
    if (DWORD sent = SendGet(handles.connection.get(), object, handles.request)) {
        return Failure(job, sent);
    }
    // WinINet sends a path in the system's code page; a server that stores the name in another one answers 404
    // to that spelling and finds the file by its own bytes, percent-encoded. Otherwise the 404 page is the body.
    if (HttpStatusCode(handles.request.get()) == HTTP_STATUS_NOT_FOUND) {
        for (const std::string& spelling : OtherNameSpellings(object)) {
            UniqueInternet other;
            if (SendGet(handles.connection.get(), PercentEncodedPath(spelling), other) == kTransferOk &&
                HttpStatusCode(other.get()) != HTTP_STATUS_NOT_FOUND) {
                handles.request = std::move(other);
                break;
            }
        }
    }
    LocalFile file(localPath);
    if (!file.IsOpen()) {
        return kTransferFileError;
    }
    DWORD result =
        CopyToFile(InternetReader(handles.request.get()), file, job, byteCounter, ContentLength(handles.request.get()));
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
    // No listing is asked for: a size from it would only be a hint (listings are free text, and a name the client
    // cannot read, a symbolic link or a name with spaces gives none or a wrong one). The server's closing reply
    // and the caller's size from the profile decide whether the file is whole.
    std::wstring object = ToWide(address->object);
    LocalFile file(localPath);
    if (!file.IsOpen()) {
        return kTransferFileError;
    }
    handles.request.reset(
        ::FtpOpenFileW(handles.connection.get(), object.c_str(), GENERIC_READ, FTP_TRANSFER_TYPE_BINARY, 0));
    NetworkStep(job);
    DWORD result = kTransferOk;
    if (handles.request) {
        result = CopyToFile(InternetReader(handles.request.get()), file, job, byteCounter, std::nullopt);
        if (result == kTransferOk && !IsStopped(job)) {
            handles.request.reset();  // WinINet reads the closing reply here
            result = FtpTransferEnd();
        }
    } else if (IsStopped(job)) {
        return kTransferStopped;
    } else {
        // WinINet spelled the name in the system's code page; a server that stores it in another one does not
        // know it by that spelling.
        result = FetchByOtherSpellings(*address, object, file, job, byteCounter);
    }
    if (result == kTransferOk && !file.Keep()) {
        result = LastErrorOr(ERROR_WRITE_FAULT);
    }
    return result;
}

}  // namespace platform
