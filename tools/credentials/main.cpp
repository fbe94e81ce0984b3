// kelvo-credentials ID PASSWORD OUTPUT_FILE: writes the credentials file the agent reads at start-up.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/credentials/Credentials.h"
#include "common/io/PosixFileStore.h"
#include "common/text/Utf.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: kelvo-credentials ID PASSWORD OUTPUT_FILE\n"
                     "Writes the enciphered credentials record (TolvIni.dat) to OUTPUT_FILE.\n");
        return 2;
    }
    // Strict, so what lands in the file is exactly what the user typed.
    const std::optional<std::u16string> id = common::Utf8ToUtf16Strict(argv[1]);
    const std::optional<std::u16string> password = common::Utf8ToUtf16Strict(argv[2]);
    const std::optional<std::u16string> output = common::Utf8ToUtf16Strict(argv[3]);
    if (!id || !password || !output) {
        std::fprintf(stderr, "kelvo-credentials: the %s is not valid UTF-8\n",
                     !id         ? "ID"
                     : !password ? "password"
                                 : "output file name");
        return 2;
    }
    common::CredentialsError error = common::CredentialsError::CipherFailed;
    const std::optional<std::vector<uint8_t>> file = common::EncipherCredentials(*id, *password, &error);
    if (!file) {
        std::fprintf(stderr, "kelvo-credentials: refused: %s\n", Describe(error));
        return 2;
    }
    // Only the user may read the login; the file is either the old one or the whole new one.
    common::PosixFileStore store(0600);
    if (!store.WriteReplace(*output, *file)) {
        std::fprintf(stderr, "kelvo-credentials: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
