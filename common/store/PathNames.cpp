// Name checks for store-given path parts and the join that places them under a local folder.
#include "common/store/PathNames.h"

#include "common/text/TextUtil.h"

namespace common {

namespace {

// Windows opens these as devices whatever folder or extension they come with ("a\CON.txt" is the console).
// The superscript digits count as digits for COM and LPT.
constexpr std::u16string_view kDeviceNames[] = {
    u"CON",  u"PRN",  u"AUX",  u"NUL",  u"CONIN$", u"CONOUT$",   u"COM1",      u"COM2",      u"COM3",      u"COM4",
    u"COM5", u"COM6", u"COM7", u"COM8", u"COM9",   u"COM\u00B9", u"COM\u00B2", u"COM\u00B3", u"LPT1",      u"LPT2",
    u"LPT3", u"LPT4", u"LPT5", u"LPT6", u"LPT7",   u"LPT8",      u"LPT9",      u"LPT\u00B9", u"LPT\u00B2", u"LPT\u00B3",
};

bool IsReservedDevice(std::u16string_view name) {
    std::u16string_view stem = name.substr(0, name.find(u'.'));
    while (!stem.empty() && stem.back() == u' ') {
        stem.remove_suffix(1);
    }
    for (std::u16string_view device : kDeviceNames) {
        if (EqualsIgnoreCase(stem, device)) {
            return true;
        }
    }
    return false;
}

NameError CheckElement(std::u16string_view name) {
    if (name.empty()) {
        return NameError::Empty;
    }
    if (name == u"." || name == u"..") {
        return NameError::DotElement;
    }
    if (name.size() > kMaxElementUnits) {
        return NameError::TooLong;
    }
    for (char16_t unit : name) {
        switch (unit) {
            case u'\\':
            case u'/':
                return NameError::Separator;
            case u':':
                return NameError::Colon;
            case u'<':
            case u'>':
            case u'"':
            case u'|':
            case u'?':
            case u'*':
                return NameError::ForbiddenChar;
            default:
                if (unit < 32) {
                    return NameError::ForbiddenChar;
                }
        }
    }
    if (name.back() == u'.' || name.back() == u' ') {
        return NameError::TrailingDotOrSpace;
    }
    if (IsReservedDevice(name)) {
        return NameError::ReservedDevice;
    }
    return NameError::None;
}

}  // namespace

const char* NameErrorText(NameError error) {
    switch (error) {
        case NameError::None:
            return "valid";
        case NameError::Empty:
            return "empty name or path element";
        case NameError::DotElement:
            return "'.' or '..' element";
        case NameError::Separator:
            return "path separator inside a name";
        case NameError::Colon:
            return "':' inside a name";
        case NameError::ForbiddenChar:
            return "character Windows forbids in names";
        case NameError::TrailingDotOrSpace:
            return "name ends in a dot or space";
        case NameError::ReservedDevice:
            return "reserved device name";
        case NameError::MissingLeadingSlash:
            return "directory does not start with '/'";
        case NameError::TooLong:
            return "name or path too long";
    }
    return "unknown";
}

NameError CheckPlainName(std::u16string_view name, size_t bufferUnits) {
    NameError error = CheckElement(name);
    if (error != NameError::None) {
        return error;
    }
    return name.size() < bufferUnits ? NameError::None : NameError::TooLong;
}

NameError CheckDirectory(std::u16string_view directory, size_t bufferUnits) {
    if (directory.empty()) {
        return NameError::None;
    }
    if (directory.front() != u'/') {
        // A backslash-led directory ("\\server\x", "\x") is still refused for what it is.
        return directory.front() == u'\\' ? NameError::Separator : NameError::MissingLeadingSlash;
    }
    if (directory.size() >= bufferUnits) {
        return NameError::TooLong;
    }
    size_t start = 1;
    while (true) {
        size_t slash = directory.find(u'/', start);
        std::u16string_view element =
            directory.substr(start, slash == std::u16string_view::npos ? slash : slash - start);
        NameError error = CheckElement(element);
        if (error != NameError::None) {
            return error;
        }
        if (slash == std::u16string_view::npos) {
            return NameError::None;
        }
        start = slash + 1;
    }
}

std::optional<std::vector<std::u16string_view>> SplitDirectory(std::u16string_view directory) {
    if (CheckDirectory(directory, directory.size() + 1) != NameError::None) {
        return std::nullopt;
    }
    std::vector<std::u16string_view> parts;
    if (directory.empty()) {
        return parts;
    }
    size_t start = 1;
    while (true) {
        size_t slash = directory.find(u'/', start);
        if (slash == std::u16string_view::npos) {
            parts.push_back(directory.substr(start));
            return parts;
        }
        parts.push_back(directory.substr(start, slash - start));
        start = slash + 1;
    }
}

NameError JoinUnder(std::u16string_view base, std::u16string_view directory, std::u16string_view name,
                    size_t bufferUnits, std::u16string& path) {
    std::optional<std::vector<std::u16string_view>> parts = SplitDirectory(directory);
    if (!parts) {
        return CheckDirectory(directory, directory.size() + 1);
    }
    if (!name.empty()) {
        NameError error = CheckElement(name);
        if (error != NameError::None) {
            return error;
        }
        parts->push_back(name);
    }
    std::u16string joined(base);
    if (!joined.empty() && joined.back() == u'\\') {
        joined.pop_back();
    }
    for (std::u16string_view part : *parts) {
        joined.push_back(u'\\');
        joined.append(part);
    }
    if (joined.size() >= bufferUnits) {
        return NameError::TooLong;
    }
    path = std::move(joined);
    return NameError::None;
}

}  // namespace common
