// autorun.inf text and place.
#include "common/agent/AutorunInf.h"

#include "common/ipc/SuiteNames.h"

namespace common {

std::vector<uint8_t> AutorunInfBytes() {
    static constexpr char kText[] =
        "[autorun]\r\n"
        "action=Kelvo\r\n"
        "Title=Kelvo\r\n"
        "Shell=Shell00\r\n"
        "Shell\\Shell00=Kelvo\r\n"
        "Shell\\Shell00\\Command=";
    std::vector<uint8_t> bytes(kText, kText + sizeof(kText) - 1);
    for (char16_t unit : std::u16string_view(kStarterProgram)) {
        bytes.push_back(static_cast<uint8_t>(unit));  // the name is ASCII
    }
    return bytes;
}

std::u16string AutorunInfPath(std::u16string_view moduleFolder) {
    if (moduleFolder.empty()) {
        return {};
    }
    return std::u16string(1, moduleFolder.front()) + u":\\autorun.inf";
}

}  // namespace common
