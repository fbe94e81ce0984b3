// Path and name helpers over UTF-16 text.
#include "common/text/PathUtil.h"

#include "common/text/TextUtil.h"

namespace common {

std::u16string_view FileName(std::u16string_view path) {
    size_t separator = path.find_last_of(u"\\/");
    return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

std::optional<std::u16string> FolderOf(std::u16string_view path) {
    size_t separator = path.rfind(u'\\');
    if (separator == std::u16string_view::npos) {
        return std::nullopt;
    }
    return std::u16string(path.substr(0, separator));
}

std::u16string JoinPath(std::u16string_view folder, std::u16string_view name) {
    std::u16string out(folder);
    if (out.empty() || out.back() != u'\\') {
        out.push_back(u'\\');
    }
    out.append(name);
    return out;
}

std::u16string ReplaceDriveLetter(std::u16string_view path, char16_t drive) {
    std::u16string out(path);
    if (out.size() >= 2 && out[1] == u':') {
        out[0] = drive;
    }
    return out;
}

std::u16string FileTitle(std::u16string_view path) {
    std::u16string_view name = FileName(path);
    size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos || dot == 0) {
        return std::u16string(name);
    }
    return std::u16string(name.substr(0, dot));
}

bool ExtensionStartsWith(std::u16string_view path, std::u16string_view prefix) {
    std::u16string_view name = FileName(path);
    size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) {
        return false;
    }
    return StartsWithIgnoreCase(name.substr(dot), prefix);
}

}  // namespace common
