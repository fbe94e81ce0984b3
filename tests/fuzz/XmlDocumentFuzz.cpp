// Fuzz target: arbitrary bytes through the light XML parser, then write, re-parse and edit.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/xml/XmlDocument.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

bool IsAllowedText(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if ((unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') || unit >= 0xFFFE ||
            (unit >= 0xDC00 && unit <= 0xDFFF)) {
            return false;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

// Every element of the rings below `first`, walked with a stack.
void CheckTextsAllowed(const common::CXmlElement* first) {
    std::vector<const common::CXmlElement*> rings;
    if (first != nullptr) {
        rings.push_back(first);
    }
    while (!rings.empty()) {
        const common::CXmlElement* ring = rings.back();
        rings.pop_back();
        const common::CXmlElement* element = ring;
        do {
            Check(IsAllowedText(element->Text()));
            for (const common::CXmlAttribute* a = element->FirstAttribute(); a != nullptr; a = a->Next()) {
                Check(IsAllowedText(a->Value()));
            }
            if (element->FirstChild() != nullptr) {
                rings.push_back(element->FirstChild());
            }
            element = element->Next();
        } while (element != ring);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    common::CXmlDocument first;
    first.ParseBytes(std::vector<uint8_t>(data, data + size));
    Check(!first.IsComplete() || first.LastError() == common::XmlError::None);

    // Whatever was kept of the input, the writer's output must read back whole, and two round trips (which
    // restore the attribute order) must give the same bytes.
    std::vector<uint8_t> written = first.ToBytes();
    common::CXmlDocument second;
    Check(second.ParseBytes(written));
    // No text or attribute value written holds a character XML forbids, whatever the input held.
    CheckTextsAllowed(second.Root().element);
    common::CXmlDocument third;
    Check(third.ParseBytes(second.ToBytes()));
    Check(third.ToBytes() == written);

    // Edits through positions must keep the rings sound: find, append and remove below the root.
    common::XmlPosition root = third.Root();
    if (root) {
        common::XmlPosition child = third.FindChild(
            root, root.element->FirstChild() != nullptr ? root.element->FirstChild()->Name() : std::u16string(u"x"));
        common::XmlPosition added = third.AppendChild(root, u"Added");
        Check(static_cast<bool>(added));
        if (child) {
            Check(third.Remove(child));
        }
        Check(third.Remove(added));
        common::CXmlDocument fourth;
        Check(fourth.ParseBytes(third.ToBytes()));
    }
    return 0;
}
