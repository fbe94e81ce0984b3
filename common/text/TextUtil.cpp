// Numbers in element text and case-insensitive name comparison.
#include "common/text/TextUtil.h"

#include <limits>

namespace common {

int64_t ParseLeadingInt64(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= 32) {
        ++i;
    }
    bool isNegative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        isNegative = text[i] == u'-';
        ++i;
    }
    // The magnitude is kept unsigned and pinned just past the int64_t range once it gets there, so no digit run
    // can wrap it.
    constexpr uint64_t kPastRange = uint64_t{std::numeric_limits<int64_t>::max()} + 2;
    uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        uint64_t digit = static_cast<uint64_t>(text[i] - u'0');
        magnitude = magnitude > kPastRange / 10 ? kPastRange : magnitude * 10 + digit;
    }
    constexpr uint64_t kMaxPositive = uint64_t{std::numeric_limits<int64_t>::max()};
    if (isNegative) {
        return magnitude > kMaxPositive ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
    }
    return magnitude > kMaxPositive ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(magnitude);
}

int32_t ParseLeadingInt(std::u16string_view text) {
    int64_t value = ParseLeadingInt64(text);
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return value > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                       : static_cast<int32_t>(value);
}

std::u16string FormatInt(int32_t value) {
    char16_t digits[12];
    size_t count = 0;
    int64_t magnitude = value < 0 ? -int64_t{value} : int64_t{value};
    do {
        digits[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::u16string out;
    if (value < 0) {
        out.push_back(u'-');
    }
    while (count > 0) {
        out.push_back(digits[--count]);
    }
    return out;
}

char16_t FoldCase(char16_t unit) {
    if ((unit >= u'A' && unit <= u'Z') || (unit >= 0xFF21 && unit <= 0xFF3A) || (unit >= 0x0410 && unit <= 0x042F)) {
        return static_cast<char16_t>(unit + 0x20);
    }
    // Greek capitals, leaving out U+03A2, which has no letter.
    if (unit >= 0x0391 && unit <= 0x03A9 && unit != 0x03A2) {
        return static_cast<char16_t>(unit + 0x20);
    }
    if (unit == 0x0401) {
        return 0x0451;
    }
    return unit;
}

bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(a[i]) != FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace common
