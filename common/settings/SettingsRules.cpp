// The settings program's portable decisions.
#include "common/settings/SettingsRules.h"

#include "common/text/TextUtil.h"

namespace common {

namespace {

char16_t UpperAscii(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

int32_t Argument(const std::vector<std::u16string>& arguments, size_t index) {
    if (index >= arguments.size() || arguments[index].empty()) {
        return 0;
    }
    return ParseLeadingInt(std::u16string_view(arguments[index]).substr(1));
}

}  // namespace

SettingsStart ParseSettingsStart(const std::vector<std::u16string>& arguments) {
    SettingsStart start;
    start.count = Argument(arguments, 0);
    if (start.count != 0) {
        start.view = Argument(arguments, 1);
    }
    if (start.count >= 2) {
        start.packageId = Argument(arguments, 2);
    }
    return start;
}

int32_t StartView(const SettingsStart& start) {
    return start.view >= 1 && start.view <= 4 ? start.view : 0;
}

bool IsAcceptableBackImage(std::u16string_view path, std::u16string_view suiteFolder) {
    if (path.size() < 3 || suiteFolder.empty() || UpperAscii(path[0]) != UpperAscii(suiteFolder[0])) {
        return false;
    }
    std::u16string_view end = path.substr(path.size() - 3);
    return UpperAscii(end[0]) == u'B' && UpperAscii(end[1]) == u'M' && UpperAscii(end[2]) == u'P';
}

uint8_t PreviewAlpha(int32_t position) {
    int32_t opacity = position >= 0 && position < 10 ? 10 - position : 10;
    return static_cast<uint8_t>(opacity * 255 / 10);
}

std::optional<uint8_t> HotKeyFromBox(std::u16string_view text) {
    if (text.empty()) {
        return uint8_t{0};
    }
    const char16_t first = UpperAscii(text[0]);
    const bool isAllowed = (first >= u'0' && first <= u'9') || (first >= u'A' && first <= u'Z');
    if (!isAllowed) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(first & 0xFF);
}

}  // namespace common
