// The page's document tree.
#include "common/page/DomNode.h"

namespace common {

namespace {

template <typename Node, typename Visit>
Node* FindInOrder(Node& node, const Visit& visit) {
    if (visit(node)) {
        return &node;
    }
    for (auto* child : node.children) {
        if (Node* found = FindInOrder<Node>(*child, visit)) {
            return found;
        }
    }
    return nullptr;
}

void AppendText(const DomNode& node, std::u16string& out) {
    if (node.type == DomNode::Type::Text) {
        out += node.text;
        return;
    }
    for (const DomNode* child : node.children) {
        AppendText(*child, out);
    }
}

}  // namespace

const std::u16string* DomNode::Attribute(std::u16string_view name) const {
    for (const auto& [key, text] : attributes) {
        if (key == name) {
            return &text;
        }
    }
    return nullptr;
}

void DomNode::SetAttribute(std::u16string_view name, std::u16string_view text) {
    for (auto& [key, old] : attributes) {
        if (key == name) {
            old = text;
            return;
        }
    }
    attributes.emplace_back(std::u16string(name), std::u16string(text));
}

DomDocument::DomDocument() {
    m_nodes.push_back(std::make_unique<DomNode>());
    m_nodes[0]->tag = u"#document";
}

DomNode* DomDocument::NewNode(DomNode::Type type) {
    if (m_nodes.size() >= kMaxNodes) {
        return nullptr;
    }
    auto node = std::make_unique<DomNode>();
    node->type = type;
    node->id = static_cast<uint32_t>(m_nodes.size());
    m_nodes.push_back(std::move(node));
    return m_nodes.back().get();
}

void DomDocument::Append(DomNode& parent, DomNode& child) {
    child.parent = &parent;
    parent.children.push_back(&child);
}

void DomDocument::ClearChildren(DomNode& node) {
    for (DomNode* child : node.children) {
        child->parent = nullptr;
    }
    node.children.clear();
}

DomNode* DomDocument::ElementById(std::u16string_view id) {
    return FindInOrder<DomNode>(Root(), [id](const DomNode& node) {
        const std::u16string* value = node.Attribute(u"id");
        return node.type == DomNode::Type::Element && value != nullptr && *value == id;
    });
}

const DomNode* DomDocument::FirstElement(std::u16string_view tag) const {
    return FindInOrder<const DomNode>(Root(), [tag](const DomNode& node) { return node.Is(tag); });
}

std::u16string DomDocument::TextContent(const DomNode& node) {
    std::u16string out;
    AppendText(node, out);
    return out;
}

}  // namespace common
