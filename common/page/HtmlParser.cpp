// The tolerant HTML reader.
#include "common/page/HtmlParser.h"

#include <algorithm>
#include <initializer_list>

#include "common/text/HtmlEntities.h"

namespace common {

namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == u'\f';
}

bool IsAsciiLetter(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z');
}

bool IsOneOf(std::u16string_view name, std::initializer_list<std::u16string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsVoid(std::u16string_view tag) {
    return IsOneOf(tag, {u"br", u"img", u"input", u"meta", u"link", u"hr", u"area", u"base", u"col", u"embed",
                         u"param", u"source", u"wbr"});
}

bool IsRawText(std::u16string_view tag) {
    return IsOneOf(tag, {u"script", u"style", u"textarea", u"title"});
}

// Block starts that end an open paragraph.
bool ClosesParagraph(std::u16string_view tag) {
    return IsOneOf(tag, {u"p", u"div", u"table", u"ul", u"ol", u"li", u"h1", u"h2", u"h3", u"h4", u"h5", u"h6",
                         u"form", u"hr", u"pre", u"blockquote", u"dl", u"center"});
}

// Finds `needle` (lower case) in `text` from `from`, ignoring ASCII case.
size_t FindIgnoringCase(std::u16string_view text, std::u16string_view needle, size_t from) {
    for (size_t i = from; i + needle.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && LowerAscii(text.substr(i + k, 1))[0] == needle[k]) {
            ++k;
        }
        if (k == needle.size()) {
            return i;
        }
    }
    return std::u16string_view::npos;
}

class TreeBuilder {
public:
    TreeBuilder(std::u16string_view html, DomDocument& document, DomNode& parent)
        : m_html(html), m_document(document), m_open{&parent} {
        for (const DomNode* above = parent.parent; above != nullptr; above = above->parent) {
            ++m_baseDepth;
        }
    }

    void Run() {
        while (m_at < m_html.size()) {
            size_t lt = m_html.find(u'<', m_at);
            if (lt == std::u16string_view::npos) {
                AddText(m_html.substr(m_at));
                break;
            }
            if (lt > m_at) {
                AddText(m_html.substr(m_at, lt - m_at));
            }
            m_at = lt;
            ReadMarkup();
        }
    }

private:
    DomNode& Current() { return *m_open.back(); }

    void AddText(std::u16string_view raw) {
        DomNode* node = m_document.NewNode(DomNode::Type::Text);
        if (node != nullptr) {
            node->text = DecodeHtmlEntities(raw);
            DomDocument::Append(Current(), *node);
        }
    }

    // At '<': a comment, a declaration, an end tag, a start tag, or a plain '<' of the text.
    void ReadMarkup() {
        std::u16string_view rest = m_html.substr(m_at);
        if (rest.substr(0, 4) == u"<!--") {
            size_t end = m_html.find(u"-->", m_at + 4);
            m_at = end == std::u16string_view::npos ? m_html.size() : end + 3;
            return;
        }
        if (rest.size() >= 2 && (rest[1] == u'!' || rest[1] == u'?')) {
            size_t end = m_html.find(u'>', m_at);
            m_at = end == std::u16string_view::npos ? m_html.size() : end + 1;
            return;
        }
        bool isEnd = rest.size() >= 2 && rest[1] == u'/';
        size_t nameAt = m_at + (isEnd ? 2 : 1);
        if (nameAt >= m_html.size() || !IsAsciiLetter(m_html[nameAt])) {
            AddText(u"<");
            ++m_at;
            return;
        }
        size_t i = nameAt;
        while (i < m_html.size() && !IsSpace(m_html[i]) && m_html[i] != u'>' && m_html[i] != u'/') {
            ++i;
        }
        std::u16string tag = LowerAscii(m_html.substr(nameAt, i - nameAt));
        std::vector<std::pair<std::u16string, std::u16string>> attributes;
        i = ReadAttributes(i, attributes);
        m_at = i;
        if (isEnd) {
            CloseElement(tag);
        } else {
            OpenElement(tag, std::move(attributes));
        }
    }

    // Reads attributes up to and past the tag's '>'; returns the index after it.
    size_t ReadAttributes(size_t i, std::vector<std::pair<std::u16string, std::u16string>>& attributes) {
        const size_t size = m_html.size();
        while (i < size) {
            while (i < size && (IsSpace(m_html[i]) || m_html[i] == u'/')) {
                ++i;
            }
            if (i >= size) {
                break;
            }
            if (m_html[i] == u'>') {
                return i + 1;
            }
            size_t nameAt = i;
            while (i < size && !IsSpace(m_html[i]) && m_html[i] != u'>' && m_html[i] != u'=' &&
                   (m_html[i] != u'/' || i == nameAt)) {
                ++i;
            }
            std::u16string name = LowerAscii(m_html.substr(nameAt, i - nameAt));
            while (i < size && IsSpace(m_html[i])) {
                ++i;
            }
            std::u16string value;
            if (i < size && m_html[i] == u'=') {
                ++i;
                while (i < size && IsSpace(m_html[i])) {
                    ++i;
                }
                if (i < size && (m_html[i] == u'"' || m_html[i] == u'\'')) {
                    size_t end = m_html.find(m_html[i], i + 1);
                    if (end == std::u16string_view::npos) {
                        end = size;
                    }
                    value = DecodeHtmlEntities(m_html.substr(i + 1, end - i - 1));
                    i = std::min(size, end + 1);
                } else {
                    size_t valueAt = i;
                    while (i < size && !IsSpace(m_html[i]) && m_html[i] != u'>') {
                        ++i;
                    }
                    value = DecodeHtmlEntities(m_html.substr(valueAt, i - valueAt));
                }
            }
            bool isKnown = std::any_of(attributes.begin(), attributes.end(),
                                       [&name](const auto& entry) { return entry.first == name; });
            if (!name.empty() && !isKnown) {  // the first of a repeated attribute counts, as in browsers
                attributes.emplace_back(std::move(name), std::move(value));
            }
        }
        return size;
    }

    // Closes the innermost open `tag` unless one of `boundaries` is opened inside... i.e. nearer than it.
    void CloseImplied(std::initializer_list<std::u16string_view> tags,
                      std::initializer_list<std::u16string_view> boundaries) {
        for (size_t k = m_open.size(); k-- > 1;) {
            const std::u16string& open = m_open[k]->tag;
            if (IsOneOf(open, boundaries)) {
                return;
            }
            if (IsOneOf(open, tags)) {
                m_open.resize(k);
                return;
            }
        }
    }

    void OpenElement(const std::u16string& tag, std::vector<std::pair<std::u16string, std::u16string>> attributes) {
        if (ClosesParagraph(tag)) {
            CloseImplied({u"p"}, {u"table", u"td", u"th", u"button", u"li"});
        }
        if (tag == u"li") {
            CloseImplied({u"li"}, {u"ul", u"ol", u"table"});
        } else if (tag == u"td" || tag == u"th") {
            CloseImplied({u"td", u"th"}, {u"tr", u"table"});
        } else if (tag == u"tr") {
            CloseImplied({u"td", u"th"}, {u"table"});
            CloseImplied({u"tr"}, {u"table"});
        } else if (tag == u"option") {
            CloseImplied({u"option"}, {u"select"});
        }
        DomNode* node = m_document.NewNode(DomNode::Type::Element);
        if (node == nullptr) {
            m_at = m_html.size();  // the document is full: the rest of the page is not read
            return;
        }
        node->tag = tag;
        node->attributes = std::move(attributes);
        if (const std::u16string* value = node->Attribute(u"value")) {
            node->value = *value;
        }
        DomDocument::Append(Current(), *node);
        if (IsRawText(tag)) {
            size_t end = FindIgnoringCase(m_html, u"</" + tag, m_at);
            std::u16string_view raw = m_html.substr(m_at, end == std::u16string_view::npos ? std::u16string_view::npos
                                                                                              : end - m_at);
            DomNode* text = m_document.NewNode(DomNode::Type::Text);
            if (text != nullptr) {
                // A script's text is the program as written; the others are text with references.
                text->text = tag == u"script" || tag == u"style" ? std::u16string(raw) : DecodeHtmlEntities(raw);
                DomDocument::Append(*node, *text);
            }
            if (tag == u"textarea") {
                node->value = text != nullptr ? text->text : std::u16string();
            }
            if (end == std::u16string_view::npos) {
                m_at = m_html.size();
            } else {
                size_t close = m_html.find(u'>', end);
                m_at = close == std::u16string_view::npos ? m_html.size() : close + 1;
            }
            return;
        }
        if (!IsVoid(tag) && m_baseDepth + m_open.size() < kMaxDomDepth) {
            m_open.push_back(node);
        }
    }

    void CloseElement(const std::u16string& tag) {
        for (size_t k = m_open.size(); k-- > 1;) {
            if (m_open[k]->tag == tag) {
                m_open.resize(k);
                return;
            }
            // An end tag does not reach out of a table cell or a table it was not opened in.
            if (IsOneOf(m_open[k]->tag, {u"td", u"th", u"table"}) && !IsOneOf(tag, {u"tr", u"table", u"tbody"})) {
                return;
            }
        }
    }

    std::u16string_view m_html;
    DomDocument& m_document;
    std::vector<DomNode*> m_open;
    size_t m_at = 0;
    size_t m_baseDepth = 0;  // how deep the parent already sits (innerHTML)
};

}  // namespace

std::u16string LowerAscii(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& unit : out) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        }
    }
    return out;
}

namespace {

void Escape(std::u16string_view text, bool isAttribute, std::u16string& out) {
    for (char16_t unit : text) {
        switch (unit) {
            case u'&': out += u"&amp;"; break;
            case u'<': out += u"&lt;"; break;
            case u'>': out += u"&gt;"; break;
            case u'"':
                out += isAttribute ? u"&quot;" : u"\"";
                break;
            default: out.push_back(unit);
        }
    }
}

void WriteNode(const DomNode& node, std::u16string& out) {
    if (node.type == DomNode::Type::Text) {
        const bool isRaw = node.parent != nullptr && (node.parent->Is(u"script") || node.parent->Is(u"style"));
        if (isRaw) {
            out += node.text;
        } else {
            Escape(node.text, false, out);
        }
        return;
    }
    out += u"<" + node.tag;
    for (const auto& [name, value] : node.attributes) {
        out += u" " + name + u"=\"";
        Escape(value, true, out);
        out += u"\"";
    }
    out += u">";
    if (IsVoid(node.tag)) {
        return;
    }
    for (const DomNode* child : node.children) {
        WriteNode(*child, out);
    }
    out += u"</" + node.tag + u">";
}

}  // namespace

std::u16string WriteHtml(const DomNode& node) {
    std::u16string out;
    for (const DomNode* child : node.children) {
        WriteNode(*child, out);
    }
    return out;
}

void ParseHtml(std::u16string_view html, DomDocument& document, DomNode& parent) {
    TreeBuilder(html, document, parent).Run();
}

}  // namespace common
