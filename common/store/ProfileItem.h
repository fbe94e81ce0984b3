// The plain item tree the profile reader works on: element names and texts, as the DOM wrapper hands them over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class CXmlElement;

// How it works: each XML source is copied into this tree by a small adapter, so the reader does not care where
// the document came from. The agent's adapter walks its DOM item tree (CXmlItem, std::wstring texts of 16-bit
// units); tests and the fuzz target use ProfileItemFromXml below. The root stands for the document element;
// its name is carried but never examined.
struct ProfileItem {
    std::u16string name;
    std::u16string value;
    std::vector<ProfileItem> children;  // document order, elements only
};

// The first child whose name equals `name` ignoring case (FoldCase), or nullptr.
const ProfileItem* FindItem(const ProfileItem& parent, std::u16string_view name);

// Copies a light XML element into an item tree. Only `depth` levels below `element` are copied and at most
// `maxChildren` children of any one element, so a hostile document cannot make the copy larger than the reader
// could ever accept. An element's value is its text (for the light XML document, the text before its first child).
ProfileItem ProfileItemFromXml(const CXmlElement& element, size_t depth, size_t maxChildren);

}  // namespace common
