// Fetching one file from the store's web server or FTP server into a local file, with progress and stop.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/StopSignal.h"

namespace platform {

// Result codes of a fetch; any other value is the Windows error code of the failing call.
inline constexpr DWORD kTransferOk = 0;
inline constexpr DWORD kTransferFileError = 2;   // the local file cannot be made, or the server will not open it
inline constexpr DWORD kTransferBadScheme = 11;  // the address does not start with the routine's scheme
inline constexpr DWORD kTransferStopped = 995;   // the sink or the stop ended the fetch

// Told of every chunk a fetch writes, after it was written; answering false stops the fetch (kTransferStopped).
class ITransferSink {
public:
    virtual ~ITransferSink() = default;
    virtual bool OnChunk(const uint8_t* data, size_t size) = 0;
    // Before and after each network call of the fetch (open, connect, listing, open file, each read): a watchdog
    // that waits for signs of life counts from here.
    virtual void OnNetworkStep() {}
};

// What the running job lends its fetches: where chunks are reported, and the stop another thread may end the
// fetch through. Either may be null.
struct TransferJob {
    ITransferSink* sink = nullptr;
    StopSignal* stop = nullptr;
};

// How a fetch works: one connection per call, reads of at most 8192 bytes written to the local file chunk by
// chunk; `byteCounter` grows by every byte written. The local file never stays behind after a failure. Where
// HTTP announced the size (Content-Length), fewer bytes than that is a failure (ERROR_INTERNET_CONNECTION_ABORTED);
// for FTP the server's closing reply tells a broken-off transfer, no listing is asked for, and the caller checks
// the size it expects. A Korean name the server does not know in the system's code page is asked for again in
// UTF-8 and code page 949 (HTTP percent-encoded after a 404; FTP over a connection of our own after the server
// would not open the file). An HTTP error page is stored like any other body. A stop
// through the job's stop ends the fetch with kTransferStopped: between chunks, or by closing the handles
// of a blocked call (on Windows that aborts the call; under Wine the call ends at its 5-second receive timeout).
// Blocking; call from a worker or the UI thread, each call with its own handles.
DWORD HttpFetch(const std::wstring& url, const std::wstring& localPath, const TransferJob* job, int64_t& byteCounter);
DWORD FtpFetch(const std::wstring& url, const std::wstring& localPath, const TransferJob* job, int64_t& byteCounter);

}  // namespace platform
