// kelvo-credentials ID PASSWORD OUTPUT_FILE: writes the credentials file the agent reads at start-up.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "common/credentials/Credentials.h"

namespace {

// Strict UTF-8 to UTF-16: overlong forms, surrogates, values past U+10FFFF and cut sequences are refused,
// so what lands in the file is exactly what the user typed.
std::optional<std::u16string> Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        int extra = 0;
        uint32_t code = 0;
        uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            code = lead & 0x1F;
            minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            code = lead & 0x0F;
            minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            code = lead & 0x07;
            minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        if (text.size() - i - 1 < static_cast<size_t>(extra)) {
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            const uint8_t next = static_cast<uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(code));
        }
        i += 1 + extra;
    }
    return out;
}

const char* Describe(common::CredentialsError error) {
    switch (error) {
        case common::CredentialsError::IdTooLong:
            return "the ID is longer than 259 UTF-16 code units";
        case common::CredentialsError::PasswordTooLong:
            return "the password is longer than 259 UTF-16 code units";
        case common::CredentialsError::IdContainsNul:
            return "the ID contains a NUL character";
        case common::CredentialsError::PasswordContainsNul:
            return "the password contains a NUL character";
        case common::CredentialsError::CipherFailed:
            return "the cipher failed";
    }
    return "unknown error";
}

bool Fail(const std::string& step, const std::string& path) {
    std::fprintf(stderr, "kelvo-credentials: %s %s: %s\n", step.c_str(), path.c_str(), std::strerror(errno));
    return false;
}

// Writes a temporary file beside `target`, syncs and closes it, then renames it over `target`, so the
// target is either the old file or the whole new one. On failure the temporary file is removed.
bool WriteReplace(const std::string& target, const std::vector<uint8_t>& bytes) {
    const std::string temp = target + ".tmp." + std::to_string(static_cast<long>(getpid()));
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return Fail("cannot create", temp);
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            Fail("cannot write", temp);
            close(fd);
            unlink(temp.c_str());
            return false;
        }
        written += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0) {
        Fail("cannot sync", temp);
        close(fd);
        unlink(temp.c_str());
        return false;
    }
    if (close(fd) != 0) {
        Fail("cannot close", temp);
        unlink(temp.c_str());
        return false;
    }
    if (rename(temp.c_str(), target.c_str()) != 0) {
        Fail("cannot rename onto", target);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: kelvo-credentials ID PASSWORD OUTPUT_FILE\n"
                     "Writes the enciphered credentials record (TolvIni.dat) to OUTPUT_FILE.\n");
        return 2;
    }
    const std::optional<std::u16string> id = Utf8ToUtf16(argv[1]);
    const std::optional<std::u16string> password = Utf8ToUtf16(argv[2]);
    if (!id || !password) {
        std::fprintf(stderr, "kelvo-credentials: the %s is not valid UTF-8\n", id ? "password" : "ID");
        return 2;
    }
    common::CredentialsError error = common::CredentialsError::CipherFailed;
    const std::optional<std::vector<uint8_t>> file = common::EncipherCredentials(*id, *password, &error);
    if (!file) {
        std::fprintf(stderr, "kelvo-credentials: refused: %s\n", Describe(error));
        return 2;
    }
    return WriteReplace(argv[3], *file) ? 0 : 1;
}
