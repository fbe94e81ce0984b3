// Light XML document: decoding, tokeniser, tag scanner, element parser and writer.
#include "common/xml/XmlDocument.h"

#include "common/text/TextUtil.h"
#include "common/text/Utf.h"

namespace common {

namespace {

constexpr std::u16string_view::size_type kNpos = std::u16string_view::npos;

struct Entity {
    std::u16string_view text;
    char16_t unit;
};

constexpr Entity kEntities[] = {
    {u"&amp;", u'&'}, {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&quot;", u'"'}, {u"&apos;", u'\''},
};

std::u16string DecodeEntities(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] != u'&') {
            out.push_back(text[i++]);
            continue;
        }
        const Entity* match = nullptr;
        for (const Entity& entity : kEntities) {
            if (text.compare(i, entity.text.size(), entity.text) == 0) {
                match = &entity;
                break;
            }
        }
        if (match == nullptr) {
            out.push_back(text[i++]);
        } else {
            out.push_back(match->unit);
            i += match->text.size();
        }
    }
    return out;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Characters XML 1.0 allows nowhere, not even as references: C0 controls other than tab, line feed and carriage
// return, and the non-characters U+FFFE and U+FFFF. A DOM reader refuses the whole file for one of them.
bool IsForbiddenUnit(char16_t unit) {
    return (unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') || unit == 0xFFFE || unit == 0xFFFF;
}

// Writes text as character data. Forbidden characters and halves of surrogate pairs are dropped, so whatever a
// file or a peer put into the tree, the file written is one every XML reader takes.
void AppendEscaped(std::u16string& out, std::u16string_view text, bool isAttribute) {
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (IsForbiddenUnit(unit) || IsLowSurrogate(unit)) {
            continue;
        }
        if (IsHighSurrogate(unit)) {
            if (i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
                out.push_back(unit);
                out.push_back(text[++i]);
            }
            continue;
        }
        switch (unit) {
            case u'&':
                out += u"&amp;";
                break;
            case u'<':
                out += u"&lt;";
                break;
            case u'>':
                out += u"&gt;";
                break;
            case u'"':
                if (isAttribute) {
                    out += u"&quot;";
                } else {
                    out.push_back(unit);
                }
                break;
            default:
                out.push_back(unit);
        }
    }
}

struct Token {
    size_t begin = 0;
    size_t end = 0;  // one past the last unit; a tag includes its ">"
    bool isTag = false;
};

// One token from pos: a tag from "<" to the next ">", or character data (with the white space skipped before
// it) up to the next "<". False when the text ends before the token does.
bool NextToken(std::u16string_view text, size_t pos, Token& token) {
    size_t p = pos;
    while (p < text.size() && text[p] <= 32) {
        ++p;
    }
    if (p >= text.size()) {
        return false;
    }
    if (text[p] == u'<') {
        size_t close = text.find(u'>', p + 1);
        if (close == kNpos) {
            return false;
        }
        token = {p, close + 1, true};
        return true;
    }
    size_t open = text.find(u'<', p);
    if (open == kNpos) {
        return false;
    }
    token = {pos, open, false};
    return true;
}

enum class ScanKind { Run, Quoted, Slash, Equals };

struct ScanToken {
    ScanKind kind = ScanKind::Run;
    std::u16string_view text;
};

// Scanner over the inside of a tag (between "<" and ">"); it only ever looks inside that view.
class TagScanner {
public:
    enum class Result { Token, End, OpenQuote };

    explicit TagScanner(std::u16string_view inside) : m_inside(inside) {}

    Result Next(ScanToken& token) {
        while (m_pos < m_inside.size() && m_inside[m_pos] <= 32) {
            ++m_pos;
        }
        if (m_pos >= m_inside.size()) {
            return Result::End;
        }
        char16_t unit = m_inside[m_pos];
        if (unit == u'"') {
            size_t close = m_inside.find(u'"', m_pos + 1);
            if (close == kNpos) {
                return Result::OpenQuote;
            }
            token = {ScanKind::Quoted, m_inside.substr(m_pos + 1, close - m_pos - 1)};
            m_pos = close + 1;
            return Result::Token;
        }
        if (unit == u'/' || unit == u'=') {
            token = {unit == u'/' ? ScanKind::Slash : ScanKind::Equals, m_inside.substr(m_pos, 1)};
            ++m_pos;
            return Result::Token;
        }
        size_t start = m_pos;
        while (m_pos < m_inside.size() && m_inside[m_pos] > 32 && m_inside[m_pos] != u'/' && m_inside[m_pos] != u'=') {
            ++m_pos;
        }
        token = {ScanKind::Run, m_inside.substr(start, m_pos - start)};
        return Result::Token;
    }

private:
    std::u16string_view m_inside;
    size_t m_pos = 0;
};

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

void WriteRing(std::u16string& out, const CXmlElement* first, size_t depth, bool isFirstIndented) {
    const CXmlElement* element = first;
    do {
        if (element != first || isFirstIndented) {
            out.append(depth, u'\t');
        }
        out.push_back(u'<');
        out += element->Name();
        for (const CXmlAttribute* attribute = element->FirstAttribute(); attribute; attribute = attribute->Next()) {
            out.push_back(u' ');
            out += attribute->Name();
            out += u"=\"";
            AppendEscaped(out, attribute->Value(), true);
            out.push_back(u'"');
        }
        out.push_back(u'>');
        // What is written of the text decides the layout. A text left as white space only once the characters XML
        // forbids are dropped is no text: a reader skips it, and the next write must lay the element out the same.
        std::u16string text;
        AppendEscaped(text, element->Text(), false);
        bool hasText = text.find_first_not_of(u" \t\r\n") != std::u16string::npos;
        if (hasText) {
            out += text;
        } else if (element->HasChildren()) {
            out += u"\r\n";
        }
        if (element->HasChildren()) {
            WriteRing(out, element->FirstChild(), depth + 1, !hasText);
            out.append(depth, u'\t');
        }
        out += u"</";
        out += element->Name();
        out += u">\r\n";
        element = element->Next();
    } while (element != first);
}

}  // namespace

CXmlDocument::~CXmlDocument() {
    Clear();
}

std::u16string CXmlDocument::DecodeBytes(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        std::u16string text;
        text.reserve((size - 2) / 2);
        for (size_t i = 2; i + 1 < size; i += 2) {
            text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
        }
        return text;
    }
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        return Utf8ToUtf16(data + 3, size - 3);
    }
    return Utf8ToUtf16(data, size);
}

const char16_t* CXmlDocument::ErrorText(XmlError error) {
    switch (error) {
        case XmlError::None:
            return nullptr;
        case XmlError::NotATag:
            return u"엘리먼트는 태그로 시작해야 합니다.";
        case XmlError::TagMismatch:
            return u"시작태그와 종료태그가 일치하지 않습니다.";
        case XmlError::BadAttribute:
            return u"속성과 속성값 정의가 올바르지 않거나 값이 지정되어 있지 않습니다.";
        case XmlError::BadName:
            return u"태그나 속성의 이름이 올바르지 않습니다.";
        case XmlError::TooDeep:
            return u"엘리먼트가 너무 깊게 중첩되어 있습니다.";
    }
    return nullptr;
}

void CXmlDocument::Clear() {
    CXmlElement::FreeRing(m_first);
    m_first = nullptr;
    m_error = XmlError::None;
    m_isComplete = false;
}

bool CXmlDocument::Parse(std::u16string_view text) {
    Clear();
    size_t pos = 0;
    for (;;) {
        Step step = ParseElement(text, pos, nullptr, 1);
        if (step == Step::End) {
            // A tag cut off before its ">" or character data after the last element yields no token; the text
            // was then not used up, and a save would lose what is left.
            bool isRestBlank = true;
            for (size_t i = pos; i < text.size() && isRestBlank; ++i) {
                isRestBlank = text[i] <= 32;
            }
            m_isComplete = m_error == XmlError::None && isRestBlank;
            break;
        }
        if (step == Step::Failed) {
            break;
        }
    }
    return m_isComplete;
}

bool CXmlDocument::ParseBytes(const std::vector<uint8_t>& bytes) {
    return Parse(DecodeBytes(bytes.data(), bytes.size()));
}

bool CXmlDocument::Load(IFileStore& store, const std::u16string& path) {
    std::optional<std::vector<uint8_t>> bytes = store.ReadAll(path);
    if (!bytes) {
        Clear();
        return false;
    }
    ParseBytes(*bytes);
    return true;
}

void CXmlDocument::Fail(XmlError error) {
    m_error = error;
    m_isComplete = false;
}

void CXmlDocument::Link(CXmlElement* parent, CXmlElement* element) {
    if (parent == nullptr) {
        m_first = CXmlElement::LinkLast(m_first, element);
    } else {
        parent->m_firstChild = CXmlElement::LinkLast(parent->m_firstChild, element);
    }
}

XmlError CXmlDocument::ParseTagInside(std::u16string_view inside, CXmlElement*& element, bool& isSelfClosing) {
    element = nullptr;
    isSelfClosing = false;
    TagScanner scanner(inside);
    ScanToken name;
    TagScanner::Result result = scanner.Next(name);
    if (result == TagScanner::Result::OpenQuote) {
        return XmlError::BadAttribute;
    }
    if (result == TagScanner::Result::End || name.kind != ScanKind::Run || name.text.size() > kMaxNameLength) {
        return XmlError::BadName;
    }
    // "< ?x>" would be written as "<?x>", which every reader skips as a declaration (likewise "!-" and comments).
    if (StartsWith(name.text, u"?") || StartsWith(name.text, u"!-")) {
        return XmlError::BadName;
    }
    auto created = std::make_unique<CXmlElement>(std::u16string(name.text));
    for (;;) {
        ScanToken token;
        result = scanner.Next(token);
        if (result == TagScanner::Result::End) {
            break;
        }
        if (result == TagScanner::Result::OpenQuote) {
            return XmlError::BadAttribute;
        }
        if (token.kind == ScanKind::Slash) {
            isSelfClosing = true;
            break;
        }
        if (token.kind != ScanKind::Run) {
            return XmlError::BadAttribute;
        }
        if (token.text.size() > kMaxNameLength) {
            return XmlError::BadName;
        }
        ScanToken equals;
        if (scanner.Next(equals) != TagScanner::Result::Token || equals.kind != ScanKind::Equals) {
            return XmlError::BadAttribute;
        }
        ScanToken value;
        if (scanner.Next(value) != TagScanner::Result::Token ||
            (value.kind != ScanKind::Run && value.kind != ScanKind::Quoted)) {
            return XmlError::BadAttribute;
        }
        created->PushFrontAttribute(std::u16string(token.text), DecodeEntities(value.text));
    }
    element = created.release();
    return XmlError::None;
}

CXmlDocument::Step CXmlDocument::ParseElement(std::u16string_view text, size_t& pos, CXmlElement* parent,
                                              size_t depth) {
    Token token;
    if (!NextToken(text, pos, token)) {
        return Step::End;
    }
    if (!token.isTag) {
        Fail(XmlError::NotATag);
        return Step::Failed;
    }
    std::u16string_view tag = text.substr(token.begin, token.end - token.begin);
    if (StartsWith(tag, u"<?") || StartsWith(tag, u"<!-")) {
        pos = token.end;
        return Step::Parsed;
    }
    if (depth > kMaxDepth) {
        Fail(XmlError::TooDeep);
        return Step::Failed;
    }
    CXmlElement* element = nullptr;
    bool isSelfClosing = false;
    XmlError error = ParseTagInside(tag.substr(1, tag.size() - 2), element, isSelfClosing);
    if (error != XmlError::None) {
        Fail(error);
        return Step::Failed;
    }
    // Linked at once, so that a later failure leaves the element and what was read of it in the tree.
    Link(parent, element);
    pos = token.end;
    if (isSelfClosing) {
        return Step::Parsed;
    }
    if (!NextToken(text, pos, token)) {
        return Step::Failed;
    }
    if (!token.isTag) {
        element->m_text = DecodeEntities(text.substr(token.begin, token.end - token.begin));
        pos = token.end;
        if (!NextToken(text, pos, token)) {
            return Step::Failed;
        }
    }
    for (;;) {
        tag = text.substr(token.begin, token.end - token.begin);
        if (token.isTag && StartsWith(tag, u"</")) {
            // The name ends at white space, "/", "=" or the closing ">", all inside this tag.
            size_t nameEnd = 2;
            while (nameEnd < tag.size() && tag[nameEnd] > 32 && tag[nameEnd] != u'/' && tag[nameEnd] != u'=' &&
                   tag[nameEnd] != u'>') {
                ++nameEnd;
            }
            if (!EqualsIgnoreCase(tag.substr(2, nameEnd - 2), element->m_name)) {
                Fail(XmlError::TagMismatch);
                return Step::Failed;
            }
            pos = token.end;
            return Step::Parsed;
        }
        size_t childPos = token.begin;
        if (ParseElement(text, childPos, element, depth + 1) != Step::Parsed) {
            return Step::Failed;
        }
        pos = childPos;
        if (!NextToken(text, pos, token)) {
            return Step::Failed;
        }
    }
}

std::u16string CXmlDocument::ToText() const {
    std::u16string out;
    if (m_first != nullptr) {
        WriteRing(out, m_first, 0, true);
    }
    return out;
}

std::vector<uint8_t> CXmlDocument::ToBytes() const {
    std::u16string text = ToText();
    std::vector<uint8_t> bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.push_back(0xFF);
    bytes.push_back(0xFE);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

bool CXmlDocument::Save(IFileStore& store, const std::u16string& path) const {
    return store.WriteReplace(path, ToBytes());
}

XmlPosition CXmlDocument::FindChild(XmlPosition parent, std::u16string_view name) const {
    if (!parent) {
        return {};
    }
    for (CXmlElement* child = parent.element->FirstChild(); child; child = parent.element->NextChild(child)) {
        if (EqualsIgnoreCase(child->Name(), name)) {
            return {child, parent.element};
        }
    }
    return {};
}

XmlPosition CXmlDocument::AppendChild(XmlPosition parent, std::u16string name) {
    if (!parent) {
        return {};
    }
    auto* element = new CXmlElement(std::move(name));
    Link(parent.element, element);
    return {element, parent.element};
}

XmlPosition CXmlDocument::AppendTopLevel(std::u16string name) {
    auto* element = new CXmlElement(std::move(name));
    Link(nullptr, element);
    return {element, nullptr};
}

bool CXmlDocument::Remove(XmlPosition position) {
    if (!position) {
        return false;
    }
    CXmlElement*& first = position.parent == nullptr ? m_first : position.parent->m_firstChild;
    if (first == nullptr) {
        return false;
    }
    // A position whose element is not in its parent's ring would corrupt two rings; refuse it instead.
    CXmlElement* member = first;
    while (member != position.element) {
        member = member->Next();
        if (member == first) {
            return false;
        }
    }
    first = CXmlElement::Unlink(first, position.element);
    delete position.element;
    return true;
}

}  // namespace common
