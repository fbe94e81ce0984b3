// One element node of the light XML document and the position type that reaches it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "common/xml/XmlAttribute.h"

namespace common {

class CXmlElement;

// An element together with its parent (nullptr for a top-level element), so that it can be unlinked.
// A position without an element means "not found". Positions are plain pointers: they become invalid when their
// element is removed or the document is cleared or re-parsed.
struct XmlPosition {
    CXmlElement* element = nullptr;
    CXmlElement* parent = nullptr;

    explicit operator bool() const { return element != nullptr; }
};

// How it works: siblings form a circular doubly-linked ring; a parent points at the ring's entry (its first child)
// and first->Previous() is the last child. An element owns its children and its attributes; the document owns
// the top-level ring. Elements are created and linked only by CXmlDocument.
class CXmlElement {
public:
    explicit CXmlElement(std::u16string name) : m_name(std::move(name)) {}
    ~CXmlElement();
    CXmlElement(const CXmlElement&) = delete;
    CXmlElement& operator=(const CXmlElement&) = delete;

    const std::u16string& Name() const { return m_name; }
    const std::u16string& Text() const { return m_text; }
    void SetText(std::u16string text) { m_text = std::move(text); }
    // The text read as a signed decimal (ParseLeadingInt) and written as "%d".
    int32_t IntText() const;
    void SetIntText(int32_t value);

    CXmlElement* FirstChild() const { return m_firstChild; }
    // The child after `child` in ring order, or nullptr once the ring wraps to the first child again.
    CXmlElement* NextChild(const CXmlElement* child) const;
    CXmlElement* Next() const { return m_next; }
    CXmlElement* Previous() const { return m_previous; }
    bool HasChildren() const { return m_firstChild != nullptr; }

    // Attributes in memory order: the reverse of their order in the source.
    const CXmlAttribute* FirstAttribute() const { return m_firstAttribute.get(); }
    // Puts the attribute in front of the list, as the parser does for each attribute it reads.
    void PushFrontAttribute(std::u16string name, std::u16string value);

    // Ring operations used by the document. `first` is the entry of the ring the element joins or leaves;
    // each returns the ring's new entry.
    static CXmlElement* LinkLast(CXmlElement* first, CXmlElement* element);
    static CXmlElement* Unlink(CXmlElement* first, CXmlElement* element);
    // Frees a whole ring and every subtree below it without recursion.
    static void FreeRing(CXmlElement* first);

private:
    friend class CXmlDocument;

    std::u16string m_name;
    std::u16string m_text;
    CXmlElement* m_next = this;
    CXmlElement* m_previous = this;
    CXmlElement* m_firstChild = nullptr;
    std::unique_ptr<CXmlAttribute> m_firstAttribute;
};

}  // namespace common
