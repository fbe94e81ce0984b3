// Resolving the page's addresses.
#include "common/page/PageUrl.h"

#include <string>
#include <vector>

#include "common/page/HtmlParser.h"
#include "common/store/QueryEncoding.h"
#include "common/store/StoreUrl.h"
#include "common/text/Utf.h"

namespace common {

namespace {

constexpr uint16_t kHttpPort = 80;

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// "/a/./b/../c" → "/a/c"; the path never climbs above its root.
std::u16string NormalisePath(std::u16string_view path) {
    std::vector<std::u16string_view> segments;
    size_t at = 1;
    while (at <= path.size()) {
        size_t end = path.find(u'/', at);
        if (end == std::u16string_view::npos) {
            end = path.size();
        }
        std::u16string_view segment = path.substr(at, end - at);
        const bool isLast = end == path.size();
        if (segment == u"..") {
            if (!segments.empty()) {
                segments.pop_back();
            }
            if (isLast) {
                segments.emplace_back();
            }
        } else if (segment == u".") {
            if (isLast) {
                segments.emplace_back();
            }
        } else {
            segments.push_back(segment);
        }
        at = end + 1;
    }
    std::u16string out;
    for (std::u16string_view segment : segments) {
        out += u'/';
        out += segment;
    }
    return out.empty() ? u"/" : out;
}

std::u16string EncodeUnsafe(std::u16string_view text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit > 0x20 && unit < 0x7F && unit != u'"' && unit != u'<' && unit != u'>') {
            out.push_back(unit);
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && (text[end] <= 0x20 || text[end] >= 0x7F)) {
            ++end;
        }
        out += PercentEncode(Utf16ToUtf8(text.substr(i, end - i)));
        i = end - 1;
    }
    return out;
}

std::u16string Origin(const StoreUrl& url) {
    std::u16string origin = u"http://" + url.host;
    if (url.port != kHttpPort) {
        origin += u':';
        for (char c : std::to_string(url.port)) {
            origin.push_back(static_cast<char16_t>(c));
        }
    }
    return origin;
}

}  // namespace

std::optional<std::u16string> ResolvePageUrl(std::u16string_view pageUrl, std::u16string_view href) {
    std::optional<StoreUrl> base = SplitStoreUrl(pageUrl, u"http://", kHttpPort);
    if (!base) {
        return std::nullopt;
    }
    href = Trim(href);
    size_t hash = href.find(u'#');
    if (hash == 0) {
        return std::nullopt;
    }
    href = href.substr(0, hash);
    std::u16string absolute;
    size_t colon = href.find(u':');
    size_t slash = href.find(u'/');
    if (href.substr(0, 2) == u"//") {
        absolute = u"http:" + std::u16string(href);
    } else if (colon != std::u16string_view::npos && (slash == std::u16string_view::npos || colon < slash)) {
        if (LowerAscii(href.substr(0, colon)) != u"http") {
            return std::nullopt;
        }
        absolute = href;
    } else {
        std::u16string object = base->object.empty() ? u"/" : base->object;
        std::u16string_view basePath(object);
        basePath = basePath.substr(0, basePath.find(u'?'));
        if (href.empty()) {
            absolute = Origin(*base) + object;
        } else if (href[0] == u'/') {
            absolute = Origin(*base) + std::u16string(href);
        } else if (href[0] == u'?') {
            absolute = Origin(*base) + std::u16string(basePath) + std::u16string(href);
        } else {
            absolute = Origin(*base) + std::u16string(basePath.substr(0, basePath.rfind(u'/') + 1)) +
                       std::u16string(href);
        }
    }
    std::optional<StoreUrl> target = SplitStoreUrl(absolute, u"http://", kHttpPort);
    if (!target || LowerAscii(target->host) != LowerAscii(base->host) || target->port != base->port) {
        return std::nullopt;
    }
    std::u16string_view object(target->object);
    size_t query = object.find(u'?');
    std::u16string path = NormalisePath(object.substr(0, query));
    std::u16string rest = query == std::u16string_view::npos ? u"" : std::u16string(object.substr(query));
    return EncodeUnsafe(Origin(*target) + path + rest);
}

}  // namespace common
