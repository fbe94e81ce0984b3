// The suite's own light XML reader and writer: an element tree loaded whole, changed in memory and saved whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/io/FileStore.h"
#include "common/xml/XmlElement.h"

namespace common {

enum class XmlError {
    None,
    NotATag,       // character data where an element was expected (also mixed content)
    TagMismatch,   // end tag names another element
    BadAttribute,  // attribute without "=", "=" without a value, or a quoted value left open
    BadName,       // name missing, not a plain name, longer than kMaxNameLength, or read back as "<?"/"<!-"
    TooDeep,       // elements nested deeper than kMaxDepth
};

// How it works: the dialect is elements with text and optional attributes, nothing else. Declarations ("<?")
// and comments ("<!-") are skipped; an element's text is the character data between its start tag and the first
// child or end tag, kept with its white space. Of the entities only the five predefined ones are decoded (text
// and attribute values); any other "&" stays as it is. Parsing stops at the first error and keeps what was
// built, including the element being parsed; the caller decides whether a partial tree may be used.
// Attributes come out of the parser in reverse source order and are written in memory order, so a load and a
// save reverses them. Output is always UTF-16LE with FF FE, one element per line, tab-indented, CR LF.
// Not thread-safe; each program uses its documents on one thread.
class CXmlDocument {
public:
    static constexpr size_t kMaxDepth = 256;
    static constexpr size_t kMaxNameLength = 256;

    CXmlDocument() = default;
    ~CXmlDocument();
    CXmlDocument(const CXmlDocument&) = delete;
    CXmlDocument& operator=(const CXmlDocument&) = delete;

    // File bytes to text: FF FE starts UTF-16LE (an odd last byte is dropped), EF BB BF starts UTF-8, anything
    // else is UTF-8 (see Utf8ToUtf16 for malformed and four-byte sequences).
    static std::u16string DecodeBytes(const uint8_t* data, size_t size);

    // Clears the document and parses top-level elements until the text is used up or a step fails.
    // Returns IsComplete().
    bool Parse(std::u16string_view text);
    bool ParseBytes(const std::vector<uint8_t>& bytes);
    // Reads and parses the file. False when it cannot be read; the document is then empty.
    bool Load(IFileStore& store, const std::u16string& path);

    // The writer. Text escapes "&", "<" and ">"; attribute values also escape the double quote.
    // It recurses once per level; parsed trees are at most kMaxDepth deep.
    std::u16string ToText() const;
    std::vector<uint8_t> ToBytes() const;  // FF FE followed by ToText() as UTF-16LE
    // Through IFileStore::WriteReplace: false leaves the old file as it was.
    bool Save(IFileStore& store, const std::u16string& path) const;

    void Clear();

    // The first top-level element; the suite's files have exactly one, the root.
    XmlPosition Root() const { return {m_first, nullptr}; }
    // The first child of parent, in ring order, whose name equals `name` ignoring case (FoldCase).
    XmlPosition FindChild(XmlPosition parent, std::u16string_view name) const;
    // A new empty element at the end of parent's children; not found when parent has no element.
    XmlPosition AppendChild(XmlPosition parent, std::u16string name);
    XmlPosition AppendTopLevel(std::u16string name);
    // Unlinks the element from its parent's ring and frees its subtree. False, with nothing changed, when the
    // position is empty or the element is not a child of the position's parent.
    bool Remove(XmlPosition position);

    XmlError LastError() const { return m_error; }
    // One of the fixed Korean error texts, or nullptr when the last parse had no error.
    const char16_t* LastErrorText() const { return ErrorText(m_error); }
    static const char16_t* ErrorText(XmlError error);
    // True when the last parse ended without an error, without an element left open and with nothing but white
    // space after the last element.
    bool IsComplete() const { return m_isComplete; }

private:
    enum class Step { Parsed, End, Failed };

    Step ParseElement(std::u16string_view text, size_t& pos, CXmlElement* parent, size_t depth);
    XmlError ParseTagInside(std::u16string_view inside, CXmlElement*& element, bool& isSelfClosing);
    void Link(CXmlElement* parent, CXmlElement* element);
    void Fail(XmlError error);

    CXmlElement* m_first = nullptr;
    XmlError m_error = XmlError::None;
    bool m_isComplete = false;
};

}  // namespace common
