// The document tree of one loaded page. Nodes are owned by their DomDocument and live as long as it does, also
// after a script detached them (innerHTML), so a script's handle on a node never dangles.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace common {

struct DomNode {
    enum class Type : uint8_t { Element, Text };
    Type type = Type::Element;
    uint32_t id = 0;           // index in DomDocument's nodes, stable for the document's life
    std::u16string tag;        // lower case; empty for text
    std::u16string text;       // a text node's text, already decoded
    std::vector<std::pair<std::u16string, std::u16string>> attributes;  // names in lower case
    std::u16string value;      // a field's current value (starts as its value attribute)
    bool isHidden = false;     // style.display = 'none' from a script
    DomNode* parent = nullptr;
    std::vector<DomNode*> children;

    const std::u16string* Attribute(std::u16string_view name) const;
    void SetAttribute(std::u16string_view name, std::u16string_view text);
    bool Is(std::u16string_view name) const { return type == Type::Element && tag == name; }
};

class DomDocument {
public:
    // The tree never grows past this many nodes; a page or script asking for more gets no more.
    static constexpr size_t kMaxNodes = 20000;

    DomDocument();
    DomNode& Root() { return *m_nodes[0]; }
    const DomNode& Root() const { return *m_nodes[0]; }
    // nullptr once the document holds kMaxNodes nodes.
    DomNode* NewNode(DomNode::Type type);
    DomNode* Node(uint32_t id) { return id < m_nodes.size() ? m_nodes[id].get() : nullptr; }

    // Appends `child` (a fresh or detached node) as the last child of `parent`.
    static void Append(DomNode& parent, DomNode& child);
    // Detaches every child of `node`; they stay alive, unreachable from the tree.
    static void ClearChildren(DomNode& node);

    // The first element in document order with that id attribute, reachable from the root.
    DomNode* ElementById(std::u16string_view id);
    // The first element with that tag, document order.
    const DomNode* FirstElement(std::u16string_view tag) const;
    // Text of `node` and all below it, as textContent reads it.
    static std::u16string TextContent(const DomNode& node);

private:
    std::vector<std::unique_ptr<DomNode>> m_nodes;
};

}  // namespace common
