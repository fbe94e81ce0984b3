// Drive-removal decision of the agent.
#include "common/agent/DriveRemoval.h"

namespace common {

bool IsSuiteDriveRemoved(uint32_t unitMask, std::u16string_view moduleFolder) {
    if (moduleFolder.empty()) {
        return false;
    }
    char16_t letter = moduleFolder.front();
    if (letter >= u'a' && letter <= u'z') {
        letter = static_cast<char16_t>(letter - u'a' + u'A');
    }
    if (letter < u'A' || letter > u'Z') {
        return false;  // a folder on a network share has no drive bit
    }
    return (unitMask & (1u << (letter - u'A'))) != 0;
}

}  // namespace common
