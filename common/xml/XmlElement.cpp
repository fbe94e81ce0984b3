// Element ring links, attributes and subtree release.
#include "common/xml/XmlElement.h"

#include <vector>

#include "common/text/TextUtil.h"

namespace common {

CXmlElement::~CXmlElement() {
    FreeRing(m_firstChild);
    // Release the attribute list node by node; a recursive unique_ptr chain would use a stack frame per attribute.
    std::unique_ptr<CXmlAttribute> attribute = std::move(m_firstAttribute);
    while (attribute) {
        attribute = std::move(attribute->m_next);
    }
}

int32_t CXmlElement::IntText() const {
    return ParseLeadingInt(m_text);
}

void CXmlElement::SetIntText(int32_t value) {
    m_text = FormatInt(value);
}

CXmlElement* CXmlElement::NextChild(const CXmlElement* child) const {
    if (child == nullptr || child->m_next == m_firstChild) {
        return nullptr;
    }
    return child->m_next;
}

void CXmlElement::PushFrontAttribute(std::u16string name, std::u16string value) {
    auto attribute = std::make_unique<CXmlAttribute>(std::move(name), std::move(value));
    attribute->m_next = std::move(m_firstAttribute);
    m_firstAttribute = std::move(attribute);
}

CXmlElement* CXmlElement::LinkLast(CXmlElement* first, CXmlElement* element) {
    if (first == nullptr) {
        element->m_next = element;
        element->m_previous = element;
        return element;
    }
    CXmlElement* last = first->m_previous;
    element->m_previous = last;
    element->m_next = first;
    last->m_next = element;
    first->m_previous = element;
    return first;
}

CXmlElement* CXmlElement::Unlink(CXmlElement* first, CXmlElement* element) {
    CXmlElement* newFirst = first;
    if (element->m_next == element) {
        newFirst = nullptr;
    } else {
        if (element == first) {
            newFirst = element->m_next;
        }
        element->m_previous->m_next = element->m_next;
        element->m_next->m_previous = element->m_previous;
    }
    element->m_next = element;
    element->m_previous = element;
    return newFirst;
}

void CXmlElement::FreeRing(CXmlElement* first) {
    if (first == nullptr) {
        return;
    }
    std::vector<CXmlElement*> pending;
    auto takeRing = [&pending](CXmlElement* entry) {
        CXmlElement* element = entry;
        do {
            pending.push_back(element);
            element = element->m_next;
        } while (element != entry);
    };
    takeRing(first);
    while (!pending.empty()) {
        CXmlElement* element = pending.back();
        pending.pop_back();
        if (element->m_firstChild != nullptr) {
            takeRing(element->m_firstChild);
            element->m_firstChild = nullptr;
        }
        delete element;
    }
}

}  // namespace common
