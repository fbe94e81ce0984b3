// One node of the plain item tree the DOM wrapper fills: element names and element texts, nothing else.
#pragma once

#include <memory>
#include <string>
#include <vector>

// A plain class rather than a framework object: nothing here needs run-time class information or serialisation.
class CXmlItem {
public:
    // Does not add the item to `parent`; AddChild does. `parent` may be null for a root.
    explicit CXmlItem(CXmlItem* parent = nullptr);
    // Deletes the children from first to last.
    ~CXmlItem();
    CXmlItem(const CXmlItem&) = delete;
    CXmlItem& operator=(const CXmlItem&) = delete;

    // Takes ownership, makes this item the child's parent, and gives it the next position. Returns the child.
    CXmlItem* AddChild(std::unique_ptr<CXmlItem> child);

    // With position -1: the first child whose name equals `name` ignoring case. With any other position: the
    // child at that position whatever its name. Null when there is none. The item stays owned by this one.
    CXmlItem* FindChild(const std::wstring& name, int position = -1) const;

    std::wstring GetValue() const { return m_value; }
    void SetValue(const std::wstring& value) { m_value = value; }
    const std::wstring& GetName() const { return m_name; }
    void SetName(const std::wstring& name) { m_name = name; }

    CXmlItem* Parent() const { return m_parent; }
    // Index among the parent's children; -1 until the item is added to a parent.
    int Position() const { return m_position; }
    int ChildCount() const { return static_cast<int>(m_children.size()); }

private:
    CXmlItem* m_parent;
    int m_position = -1;
    std::vector<std::unique_ptr<CXmlItem>> m_children;
    std::wstring m_value;
    std::wstring m_name;
};
