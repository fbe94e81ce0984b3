// HTML character references.
#include "common/text/HtmlEntities.h"

#include <cstdint>

namespace common {

namespace {

char16_t Lower(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

void AppendCodePoint(std::u16string& out, uint32_t code) {
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        out.push_back(u'\uFFFD');
    } else if (code >= 0x10000) {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(code));
    }
}

}  // namespace

std::u16string DecodeHtmlEntities(std::u16string_view text) {
    static const struct {
        std::u16string_view name;
        char16_t unit;
    } kNamed[] = {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u' '}, {u"copy", u'\u00A9'}, {u"middot", u'\u00B7'}, {u"raquo", u'\u00BB'}, {u"laquo", u'\u00AB'}};
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out.push_back(text[i]);
            continue;
        }
        size_t end = text.find(u';', i);
        if (end == std::u16string_view::npos || end - i > 10) {
            out.push_back(u'&');
            continue;
        }
        std::u16string_view name = text.substr(i + 1, end - i - 1);
        bool isDone = false;
        if (!name.empty() && name[0] == u'#') {
            const bool isHex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
            std::u16string_view digits = name.substr(isHex ? 2 : 1);
            uint32_t code = 0;
            bool isValid = !digits.empty();
            for (char16_t unit : digits) {
                uint32_t digit = 0;
                if (unit >= u'0' && unit <= u'9') {
                    digit = unit - u'0';
                } else if (isHex && Lower(unit) >= u'a' && Lower(unit) <= u'f') {
                    digit = Lower(unit) - u'a' + 10;
                } else {
                    isValid = false;
                    break;
                }
                code = code * (isHex ? 16 : 10) + digit;
                if (code > 0x10FFFF) {
                    isValid = false;
                    break;
                }
            }
            if (isValid) {
                AppendCodePoint(out, code);
                isDone = true;
            }
        } else {
            for (const auto& entry : kNamed) {
                if (name == entry.name) {
                    out.push_back(entry.unit);
                    isDone = true;
                    break;
                }
            }
        }
        if (isDone) {
            i = end;
        } else {
            out.push_back(u'&');
        }
    }
    return out;
}

}  // namespace common
