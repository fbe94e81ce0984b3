// An active-mode FTP download over Winsock.
#include "platform/inet/RawFtpSession.h"

#include <wininet.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>

#include "platform/inet/StoreTransfer.h"

namespace platform {

namespace {

constexpr DWORD kReceiveTimeoutMs = 5000;
constexpr size_t kLongestReply = 65536;

void CloseSocket(SOCKET& socket) {
    if (socket != INVALID_SOCKET) {
        ::closesocket(socket);
        socket = INVALID_SOCKET;
    }
}

void SetReceiveTimeout(SOCKET socket) {
    DWORD timeout = kReceiveTimeoutMs;
    ::setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof(timeout));
}

bool IsPositive(int code) {
    return code >= 100 && code < 400;
}

}  // namespace

RawFtpSession::RawFtpSession() {
    WSADATA data;
    m_isStarted = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

RawFtpSession::~RawFtpSession() {
    CloseSocket(m_data);
    CloseSocket(m_listener);
    if (m_control != INVALID_SOCKET) {
        Send("QUIT");
    }
    CloseSocket(m_control);
    if (m_isStarted) {
        ::WSACleanup();
    }
}

DWORD RawFtpSession::Login(const std::string& host, uint16_t port, const std::string& user,
                           const std::string& password) {
    if (!m_isStarted) {
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0 || found == nullptr) {
        return ERROR_INTERNET_NAME_NOT_RESOLVED;
    }
    m_control = ::socket(found->ai_family, found->ai_socktype, found->ai_protocol);
    bool isConnected =
        m_control != INVALID_SOCKET && ::connect(m_control, found->ai_addr, static_cast<int>(found->ai_addrlen)) == 0;
    ::freeaddrinfo(found);
    if (!isConnected) {
        return ERROR_INTERNET_CANNOT_CONNECT;
    }
    SetReceiveTimeout(m_control);
    if (Reply() != 220) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    if (!Send("USER " + user)) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    int code = Reply();
    if (code == 331 && Send("PASS " + password)) {
        code = Reply();
    }
    if (code != 230) {
        return code == 0 ? ERROR_INTERNET_CONNECTION_ABORTED : ERROR_INTERNET_LOGIN_FAILURE;
    }
    if (!Send("TYPE I") || Reply() != 200) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    return kTransferOk;
}

DWORD RawFtpSession::Retrieve(const std::string& remotePath) {
    std::string portArgument;
    if (DWORD opened = OpenListener(portArgument)) {
        return opened;
    }
    if (!Send("PORT " + portArgument) || Reply() != 200) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    if (!Send("RETR " + remotePath)) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    int code = Reply();
    if (code == 0) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    if (!IsPositive(code)) {
        return kTransferFileError;
    }
    return AcceptData();
}

bool RawFtpSession::Read(char* buffer, DWORD size, DWORD& read, DWORD& error) {
    int got = ::recv(m_data, buffer, static_cast<int>(size), 0);
    if (got < 0) {
        error = ::WSAGetLastError() == WSAETIMEDOUT ? ERROR_INTERNET_TIMEOUT : ERROR_INTERNET_CONNECTION_ABORTED;
        return false;
    }
    read = static_cast<DWORD>(got);
    return true;
}

DWORD RawFtpSession::Finish() {
    CloseSocket(m_data);
    int code = Reply();
    return code == 226 || code == 250 ? kTransferOk : ERROR_INTERNET_CONNECTION_ABORTED;
}

bool RawFtpSession::Send(const std::string& command) {
    std::string line = command + "\r\n";
    size_t sent = 0;
    while (sent < line.size()) {
        int now = ::send(m_control, line.data() + sent, static_cast<int>(line.size() - sent), 0);
        if (now <= 0) {
            return false;
        }
        sent += static_cast<size_t>(now);
    }
    return true;
}

int RawFtpSession::Reply() {
    int code = 0;
    for (;;) {
        size_t end = m_received.find("\r\n");
        while (end == std::string::npos) {
            char chunk[1024];
            int got = ::recv(m_control, chunk, sizeof(chunk), 0);
            if (got <= 0 || m_received.size() > kLongestReply) {
                return 0;
            }
            m_received.append(chunk, static_cast<size_t>(got));
            end = m_received.find("\r\n");
        }
        std::string line = m_received.substr(0, end);
        m_received.erase(0, end + 2);
        bool hasCode = line.size() >= 3 && isdigit(static_cast<unsigned char>(line[0])) &&
                       isdigit(static_cast<unsigned char>(line[1])) && isdigit(static_cast<unsigned char>(line[2]));
        int lineCode = hasCode ? std::atoi(line.substr(0, 3).c_str()) : 0;
        if (code == 0) {
            code = lineCode;
            if (code == 0) {
                return 0;
            }
        }
        // A multi-line reply ends with its code followed by a space ("226 ..."), the others are "226-..." or text.
        if (lineCode == code && (line.size() == 3 || line[3] == ' ')) {
            return code;
        }
    }
}

DWORD RawFtpSession::OpenListener(std::string& portArgument) {
    sockaddr_in local = {};
    int length = sizeof(local);
    if (::getsockname(m_control, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    local.sin_port = 0;
    m_listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    length = sizeof(local);
    if (m_listener == INVALID_SOCKET || ::bind(m_listener, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0 ||
        ::listen(m_listener, 1) != 0 || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&local), &length) != 0) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    const auto* address = reinterpret_cast<const unsigned char*>(&local.sin_addr);
    unsigned port = ntohs(local.sin_port);
    char text[32];
    std::snprintf(text, sizeof(text), "%u,%u,%u,%u,%u,%u", address[0], address[1], address[2], address[3], port >> 8,
                  port & 0xFF);
    portArgument = text;
    return kTransferOk;
}

DWORD RawFtpSession::AcceptData() {
    fd_set ready;
    FD_ZERO(&ready);
    FD_SET(m_listener, &ready);
    timeval wait = {static_cast<long>(kReceiveTimeoutMs / 1000), 0};
    if (::select(0, &ready, nullptr, nullptr, &wait) != 1) {
        return ERROR_INTERNET_TIMEOUT;
    }
    m_data = ::accept(m_listener, nullptr, nullptr);
    CloseSocket(m_listener);
    if (m_data == INVALID_SOCKET) {
        return ERROR_INTERNET_CONNECTION_ABORTED;
    }
    SetReceiveTimeout(m_data);
    return kTransferOk;
}

}  // namespace platform
