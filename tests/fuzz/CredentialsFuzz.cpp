// Fuzz target: arbitrary TolvIni.dat bytes through the agent's reading of the credentials file.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "common/credentials/Credentials.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    common::Credentials credentials = common::ReadCredentialsFile(std::vector<uint8_t>(data, data + size));
    if (!credentials.isValid) {
        Check(credentials.id.empty() && credentials.password.empty());
        return 0;
    }
    Check(credentials.id.size() <= common::kCredentialsMaxUnits);
    Check(credentials.password.size() <= common::kCredentialsMaxUnits);
    Check(credentials.id.find(u'\0') == std::u16string::npos);
    Check(credentials.password.find(u'\0') == std::u16string::npos);

    // What was read must encipher back to a file that reads the same.
    std::optional<std::vector<uint8_t>> bytes = common::EncipherCredentials(credentials.id, credentials.password);
    Check(bytes.has_value());
    common::Credentials reread = common::ReadCredentialsFile(*bytes);
    Check(reread.isValid && reread.id == credentials.id && reread.password == credentials.password);
    return 0;
}
