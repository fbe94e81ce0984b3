// The page's character set.
#include "common/page/PageCharset.h"

#include <algorithm>

namespace common {

namespace {

constexpr size_t kPrescanBytes = 1024;

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return out;
}

// The value after "charset=" in `text` (lower case), up to a quote, space, ';' or '>'; empty when none.
std::string CharsetParameter(const std::string& text) {
    size_t at = text.find("charset");
    while (at != std::string::npos) {
        size_t i = at + 7;
        while (i < text.size() && text[i] == ' ') {
            ++i;
        }
        if (i < text.size() && text[i] == '=') {
            ++i;
            while (i < text.size() && (text[i] == ' ' || text[i] == '"' || text[i] == '\'')) {
                ++i;
            }
            size_t end = i;
            while (end < text.size() && std::string_view(" \t\r\n\"';>/").find(text[end]) == std::string_view::npos) {
                ++end;
            }
            if (end > i) {
                return text.substr(i, end - i);
            }
        }
        at = text.find("charset", at + 7);
    }
    return {};
}

}  // namespace

std::string FindPageCharset(std::string_view contentType, std::string_view bytes) {
    std::string fromHeader = CharsetParameter(Lower(contentType));
    if (!fromHeader.empty()) {
        return fromHeader;
    }
    std::string head = Lower(bytes.substr(0, kPrescanBytes));
    for (size_t at = head.find("<meta"); at != std::string::npos; at = head.find("<meta", at + 5)) {
        size_t end = head.find('>', at);
        std::string fromMeta = CharsetParameter(head.substr(at, end == std::string::npos ? std::string::npos : end - at));
        if (!fromMeta.empty()) {
            return fromMeta;
        }
    }
    return "utf-8";
}

}  // namespace common
