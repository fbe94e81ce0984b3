// The profile item tree and its adapter from the light XML document.
#include "common/store/ProfileItem.h"

#include "common/text/TextUtil.h"
#include "common/xml/XmlElement.h"

namespace common {

const ProfileItem* FindItem(const ProfileItem& parent, std::u16string_view name) {
    for (const ProfileItem& child : parent.children) {
        if (EqualsIgnoreCase(child.name, name)) {
            return &child;
        }
    }
    return nullptr;
}

ProfileItem ProfileItemFromXml(const CXmlElement& element, size_t depth, size_t maxChildren) {
    ProfileItem item;
    item.name = element.Name();
    item.value = element.Text();
    if (depth == 0) {
        return item;
    }
    for (const CXmlElement* child = element.FirstChild(); child && item.children.size() < maxChildren;
         child = element.NextChild(child)) {
        item.children.push_back(ProfileItemFromXml(*child, depth - 1, maxChildren));
    }
    return item;
}

}  // namespace common
