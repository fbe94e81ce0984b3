// Drive-removal decision of the agent.
#include "common/agent/DriveRemoval.h"

namespace common {

namespace {
constexpr int kDriveBits = 26;

char16_t UpperAscii(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}
}  // namespace

std::optional<char16_t> RemovedDriveLetter(uint32_t unitMask) {
    for (int bit = 0; bit < kDriveBits; ++bit) {
        if ((unitMask & (1u << bit)) != 0) {
            return static_cast<char16_t>(u'A' + bit);
        }
    }
    return std::nullopt;
}

bool IsSuiteDriveRemoved(uint32_t unitMask, std::u16string_view moduleFolder) {
    if (moduleFolder.empty()) {
        return false;
    }
    std::optional<char16_t> letter = RemovedDriveLetter(unitMask);
    return letter && *letter == UpperAscii(moduleFolder.front());
}

}  // namespace common
