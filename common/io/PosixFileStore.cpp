// POSIX file access: whole-file reads and write-temp-then-rename replacement.
#if !defined(_WIN32)

#include "common/io/PosixFileStore.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/text/Utf.h"

namespace common {

namespace {

class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;

private:
    int m_fd;
};

bool WriteAllTo(int fd, const std::vector<uint8_t>& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t count = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        written += static_cast<size_t>(count);
    }
    return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> PosixFileStore::ReadAll(const std::u16string& path) {
    std::string native = Utf16ToUtf8(path);
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    FdCloser closer(fd);
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > kMaxReadBytes) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(static_cast<size_t>(info.st_size));
    uint8_t chunk[16384];
    for (;;) {
        ssize_t count = ::read(fd, chunk, sizeof(chunk));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        // The file may grow between fstat and here; the cap still holds.
        if (bytes.size() + static_cast<size_t>(count) > kMaxReadBytes) {
            return std::nullopt;
        }
        bytes.insert(bytes.end(), chunk, chunk + count);
    }
    return bytes;
}

bool PosixFileStore::WriteReplace(const std::u16string& path, const std::vector<uint8_t>& bytes) {
    std::string native = Utf16ToUtf8(path);
    if (native.empty()) {
        return false;
    }
    mode_t mode = 0644;
    struct stat info;
    if (::stat(native.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            return false;
        }
        mode = info.st_mode & 07777;
    }
    if (m_fileMode) {
        mode = static_cast<mode_t>(*m_fileMode);
    }
    // mkstemp puts the temporary file beside the target, so the rename never crosses file systems.
    std::string temp = native + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        return false;
    }
    bool isWritten = WriteAllTo(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    bool isClosed = ::close(fd) == 0;
    if (!isWritten || !isClosed || ::rename(temp.c_str(), native.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace common

#endif
