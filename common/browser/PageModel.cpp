// The store page's tolerant reader.
#include "common/browser/PageModel.h"

#include <cstdint>

#include "common/text/HtmlEntities.h"
#include "common/text/Utf.h"

namespace common {

namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

bool IsNameStart(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') || unit == u'_';
}

bool IsNamePart(char16_t unit) {
    return IsNameStart(unit) || (unit >= u'0' && unit <= u'9');
}

char16_t Lower(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

std::u16string LowerAscii(std::u16string_view text) {
    std::u16string out;
    for (char16_t unit : text) {
        out.push_back(Lower(unit));
    }
    return out;
}

// One tag: its lower-case name, whether it closes, and its attribute text as written.
struct Tag {
    std::u16string name;
    bool isClosing = false;
    std::u16string_view attributes;
};

// The value of attribute `name` in a tag's attribute text, quoted or bare; nullopt when absent.
std::optional<std::u16string> Attribute(std::u16string_view attributes, std::u16string_view name) {
    size_t i = 0;
    while (i < attributes.size()) {
        while (i < attributes.size() && (IsSpace(attributes[i]) || attributes[i] == u'/')) {
            ++i;
        }
        size_t nameStart = i;
        while (i < attributes.size() && !IsSpace(attributes[i]) && attributes[i] != u'=' && attributes[i] != u'/') {
            ++i;
        }
        std::u16string found = LowerAscii(attributes.substr(nameStart, i - nameStart));
        while (i < attributes.size() && IsSpace(attributes[i])) {
            ++i;
        }
        std::u16string value;
        if (i < attributes.size() && attributes[i] == u'=') {
            ++i;
            while (i < attributes.size() && IsSpace(attributes[i])) {
                ++i;
            }
            if (i < attributes.size() && (attributes[i] == u'"' || attributes[i] == u'\'')) {
                char16_t quote = attributes[i++];
                size_t close = attributes.find(quote, i);
                size_t stop = close == std::u16string_view::npos ? attributes.size() : close;
                value = std::u16string(attributes.substr(i, stop - i));
                i = close == std::u16string_view::npos ? attributes.size() : close + 1;
            } else {
                size_t start = i;
                while (i < attributes.size() && !IsSpace(attributes[i])) {
                    ++i;
                }
                value = std::u16string(attributes.substr(start, i - start));
            }
        }
        if (found.empty()) {
            ++i;
            continue;
        }
        if (found == name) {
            return DecodeHtmlEntities(value);
        }
    }
    return std::nullopt;
}

bool IsBlockTag(const std::u16string& name) {
    return name == u"p" || name == u"div" || name == u"li" || name == u"ul" || name == u"ol" || name == u"body" ||
           (name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6');
}

// Builds the model from tags and text, collapsing white space as it goes.
class PageBuilder {
public:
    PageModel Take() {
        EndBlock();
        return std::move(m_page);
    }

    void Text(std::u16string_view raw) {
        std::u16string text = DecodeHtmlEntities(raw);
        for (char16_t unit : text) {
            if (IsSpace(unit)) {
                m_pendingSpace = true;
                continue;
            }
            if (m_isInTitle) {
                if (m_pendingSpace && !m_page.title.empty()) {
                    m_page.title.push_back(u' ');
                }
                m_pendingSpace = false;
                m_page.title.push_back(unit);
                continue;
            }
            PageRun* run = CurrentRun();
            if (run == nullptr) {
                return;
            }
            if (m_pendingSpace && !IsBlockEmpty()) {
                run->text.push_back(u' ');
            }
            m_pendingSpace = false;
            run->text.push_back(unit);
        }
    }

    void Open(const Tag& tag) {
        if (tag.name == u"title") {
            m_isInTitle = true;
            m_pendingSpace = false;
        } else if (tag.name == u"b" || tag.name == u"strong") {
            ++m_boldDepth;
            m_isNewRun = true;
        } else if (tag.name == u"button") {
            m_isInButton = true;
            m_isNewRun = true;
            m_buttonCall.reset();
            if (std::optional<std::u16string> onclick = Attribute(tag.attributes, u"onclick")) {
                m_buttonCall = ParseExternalCall(*onclick);
            }
        } else if (tag.name == u"br") {
            m_pendingSpace = true;
        } else if (IsBlockTag(tag.name)) {
            EndBlock();
            if (tag.name == u"li") {
                m_kind = BlockKind::ListItem;
            } else if (tag.name[0] == u'h' && tag.name.size() == 2) {
                m_kind = BlockKind::Heading;
            } else {
                m_kind = BlockKind::Paragraph;
            }
        }
    }

    void Close(const Tag& tag) {
        if (tag.name == u"title") {
            m_isInTitle = false;
        } else if (tag.name == u"b" || tag.name == u"strong") {
            m_boldDepth = m_boldDepth > 0 ? m_boldDepth - 1 : 0;
            m_isNewRun = true;
        } else if (tag.name == u"button") {
            m_isInButton = false;
            m_isNewRun = true;
        } else if (IsBlockTag(tag.name)) {
            EndBlock();
            m_kind = BlockKind::Paragraph;
        }
    }

private:
    bool IsBlockEmpty() const {
        return m_block.runs.empty() || (m_block.runs.size() == 1 && m_block.runs[0].text.empty());
    }

    PageRun* CurrentRun() {
        if (m_isNewRun || m_block.runs.empty()) {
            if (m_runCount >= kMaxRuns) {
                return nullptr;
            }
            ++m_runCount;
            PageRun run;
            run.isBold = m_boldDepth > 0;
            run.isButton = m_isInButton;
            if (m_isInButton) {
                run.call = m_buttonCall;
                // A button stands apart from the text before it.
                m_pendingSpace = false;
            }
            m_block.runs.push_back(std::move(run));
            m_isNewRun = false;
        }
        return &m_block.runs.back();
    }

    void EndBlock() {
        if (!m_block.runs.empty() && m_page.blocks.size() < kMaxBlocks) {
            m_block.kind = m_kind;
            m_page.blocks.push_back(std::move(m_block));
        }
        m_block = PageBlock{};
        m_isNewRun = true;
        m_pendingSpace = false;
    }

    PageModel m_page;
    PageBlock m_block;
    BlockKind m_kind = BlockKind::Paragraph;
    std::optional<ExternalCall> m_buttonCall;
    size_t m_runCount = 0;
    int m_boldDepth = 0;
    bool m_isInButton = false;
    bool m_isInTitle = false;
    bool m_isNewRun = true;
    bool m_pendingSpace = false;
};

// The end of a tag that starts at `start` ('<'), quotes respected; npos when it never ends.
size_t TagEnd(std::u16string_view html, size_t start) {
    char16_t quote = 0;
    for (size_t i = start + 1; i < html.size(); ++i) {
        if (quote != 0) {
            if (html[i] == quote) {
                quote = 0;
            }
        } else if (html[i] == u'"' || html[i] == u'\'') {
            quote = html[i];
        } else if (html[i] == u'>') {
            return i;
        }
    }
    return std::u16string_view::npos;
}

size_t FindIgnoringCase(std::u16string_view text, std::u16string_view needle, size_t from) {
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        bool isMatch = true;
        for (size_t k = 0; k < needle.size(); ++k) {
            if (Lower(text[i + k]) != needle[k]) {
                isMatch = false;
                break;
            }
        }
        if (isMatch) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

}  // namespace

std::optional<ExternalCall> ParseExternalCall(std::u16string_view script) {
    size_t i = 0;
    auto skipSpaces = [&] {
        while (i < script.size() && IsSpace(script[i])) {
            ++i;
        }
    };
    skipSpaces();
    constexpr std::u16string_view kScheme = u"javascript:";
    if (script.substr(i, kScheme.size()) == kScheme) {
        i += kScheme.size();
        skipSpaces();
    }
    constexpr std::u16string_view kObject = u"window.external.";
    if (script.substr(i, kObject.size()) != kObject) {
        return std::nullopt;
    }
    i += kObject.size();
    ExternalCall call;
    if (i >= script.size() || !IsNameStart(script[i])) {
        return std::nullopt;
    }
    while (i < script.size() && IsNamePart(script[i])) {
        call.method.push_back(script[i++]);
    }
    skipSpaces();
    if (i >= script.size() || script[i] != u'(') {
        return std::nullopt;
    }
    ++i;
    skipSpaces();
    if (i < script.size() && script[i] == u')') {
        ++i;
    } else {
        for (;;) {
            if (i >= script.size() || (script[i] != u'\'' && script[i] != u'"') ||
                call.arguments.size() == kMaxCallArguments) {
                return std::nullopt;
            }
            const char16_t quote = script[i++];
            std::u16string argument;
            bool isClosed = false;
            while (i < script.size()) {
                char16_t unit = script[i++];
                if (unit == quote) {
                    isClosed = true;
                    break;
                }
                if (unit == u'\\' && i < script.size()) {
                    unit = script[i++];
                }
                argument.push_back(unit);
            }
            if (!isClosed) {
                return std::nullopt;
            }
            call.arguments.push_back(std::move(argument));
            skipSpaces();
            if (i < script.size() && script[i] == u',') {
                ++i;
                skipSpaces();
                continue;
            }
            if (i < script.size() && script[i] == u')') {
                ++i;
                break;
            }
            return std::nullopt;
        }
    }
    skipSpaces();
    if (i < script.size() && script[i] == u';') {
        ++i;
    }
    skipSpaces();
    return i == script.size() ? std::optional<ExternalCall>(std::move(call)) : std::nullopt;
}

PageModel ReadPage(std::string_view html) {
    const std::u16string text = Utf8ToUtf16(html);
    const std::u16string_view page(text);
    PageBuilder builder;
    size_t i = 0;
    while (i < page.size()) {
        size_t open = page.find(u'<', i);
        if (open == std::u16string_view::npos) {
            builder.Text(page.substr(i));
            break;
        }
        builder.Text(page.substr(i, open - i));
        if (page.substr(open, 4) == u"<!--") {
            size_t end = page.find(u"-->", open + 4);
            i = end == std::u16string_view::npos ? page.size() : end + 3;
            continue;
        }
        size_t end = TagEnd(page, open);
        if (end == std::u16string_view::npos) {
            break;
        }
        std::u16string_view inside = page.substr(open + 1, end - open - 1);
        i = end + 1;
        if (inside.empty() || inside[0] == u'!' || inside[0] == u'?') {
            continue;
        }
        Tag tag;
        size_t at = 0;
        if (inside[0] == u'/') {
            tag.isClosing = true;
            at = 1;
        }
        size_t nameEnd = at;
        while (nameEnd < inside.size() && !IsSpace(inside[nameEnd]) && inside[nameEnd] != u'/') {
            ++nameEnd;
        }
        tag.name = LowerAscii(inside.substr(at, nameEnd - at));
        tag.attributes = inside.substr(nameEnd);
        if (tag.isClosing) {
            builder.Close(tag);
            continue;
        }
        // Raw text that is never shown: skip to its closing tag.
        if (tag.name == u"script" || tag.name == u"style") {
            size_t close = FindIgnoringCase(page, u"</" + tag.name, i);
            i = close == std::u16string_view::npos ? page.size() : close;
            continue;
        }
        builder.Open(tag);
    }
    return builder.Take();
}

}  // namespace common
