// Item tree ownership and child lookup.
#include "platform/dom/XmlItem.h"

#include <windows.h>

namespace {

// Element names are ASCII in every file the suite reads, but an ordinal case-insensitive compare also folds
// other scripts the same way on every code page, so the result never depends on the process locale.
bool NamesEqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) {
        return false;
    }
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

}  // namespace

CXmlItem::CXmlItem(CXmlItem* parent) : m_parent(parent) {}

CXmlItem::~CXmlItem() {
    // The vector's own destruction order is unspecified; callers may rely on first-to-last.
    for (auto& child : m_children) {
        child.reset();
    }
}

CXmlItem* CXmlItem::AddChild(std::unique_ptr<CXmlItem> child) {
    if (!child) {
        return nullptr;
    }
    child->m_parent = this;
    child->m_position = static_cast<int>(m_children.size());
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

CXmlItem* CXmlItem::FindChild(const std::wstring& name, int position) const {
    if (position != -1) {
        if (position < 0 || position >= static_cast<int>(m_children.size())) {
            return nullptr;
        }
        return m_children[static_cast<size_t>(position)].get();
    }
    for (const auto& child : m_children) {
        if (NamesEqualIgnoringCase(child->m_name, name)) {
            return child.get();
        }
    }
    return nullptr;
}
