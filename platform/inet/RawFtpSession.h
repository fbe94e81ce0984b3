// One file fetched over an FTP control connection of our own, in active mode, for a remote path given as the
// server's bytes: WinINet spells every name in the system's code page, which cannot name a file whose name a
// Linux server stores in another encoding (UTF-8 on a Korean system, for instance).
#pragma once

#include <windows.h>
#include <winsock2.h>

#include <cstdint>
#include <string>

namespace platform {

// How it works: Login connects and logs in with binary transfers; Retrieve sends PORT for a listening socket of
// ours and RETR for the path, and takes the server's data connection; Read returns the file's bytes until the
// data connection ends; Finish reads the server's closing reply, which tells a whole transfer (226) from one the
// server broke off. Every receive waits at most the receive timeout. Results are kTransferOk, kTransferFileError
// when the server will not open the file, or a Windows error code. One session, one thread, one file.
class RawFtpSession {
public:
    RawFtpSession();
    ~RawFtpSession();
    RawFtpSession(const RawFtpSession&) = delete;
    RawFtpSession& operator=(const RawFtpSession&) = delete;

    DWORD Login(const std::string& host, uint16_t port, const std::string& user, const std::string& password);
    DWORD Retrieve(const std::string& remotePath);
    // False on a failed receive, with the error in `error`; `read` is 0 at the end of the file.
    bool Read(char* buffer, DWORD size, DWORD& read, DWORD& error);
    DWORD Finish();

private:
    bool Send(const std::string& command);
    // The code of the server's next reply (multi-line replies read whole), or 0 when none came.
    int Reply();
    DWORD OpenListener(std::string& portArgument);
    DWORD AcceptData();

    bool m_isStarted = false;
    SOCKET m_control = INVALID_SOCKET;
    SOCKET m_listener = INVALID_SOCKET;
    SOCKET m_data = INVALID_SOCKET;
    std::string m_received;  // control bytes read past the last reply
};

}  // namespace platform
