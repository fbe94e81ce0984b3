// Reading a profile's SHA-256 text.
#include "common/store/Checksum.h"

namespace common {

namespace {

int HexValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') {
        return unit - u'0';
    }
    if (unit >= u'a' && unit <= u'f') {
        return unit - u'a' + 10;
    }
    if (unit >= u'A' && unit <= u'F') {
        return unit - u'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<Sha256Digest> ParseSha256(std::u16string_view hex) {
    Sha256Digest digest{};
    if (hex.size() != 2 * digest.size()) {
        return std::nullopt;
    }
    for (size_t index = 0; index < digest.size(); ++index) {
        const int high = HexValue(hex[2 * index]);
        const int low = HexValue(hex[2 * index + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        digest[index] = static_cast<uint8_t>(high * 16 + low);
    }
    return digest;
}

std::optional<Sha256Digest> ExpectedSha256(const CFileInfo& entry) {
    if ((entry.comparison & kCompareChecksum) == 0) {
        return std::nullopt;
    }
    return ParseSha256(entry.checksum);
}

}  // namespace common
