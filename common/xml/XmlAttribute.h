// One attribute of a light XML element: a name, a value and the link to the element's next attribute.
#pragma once

#include <memory>
#include <string>

namespace common {

// Owned by its element, which frees the list without recursion (CXmlElement's destructor).
class CXmlAttribute {
public:
    CXmlAttribute(std::u16string name, std::u16string value) : m_name(std::move(name)), m_value(std::move(value)) {}

    const std::u16string& Name() const { return m_name; }
    const std::u16string& Value() const { return m_value; }
    void SetValue(std::u16string value) { m_value = std::move(value); }
    // The following attribute in the element's list, or nullptr.
    const CXmlAttribute* Next() const { return m_next.get(); }

private:
    friend class CXmlElement;

    std::u16string m_name;
    std::u16string m_value;
    std::unique_ptr<CXmlAttribute> m_next;
};

}  // namespace common
