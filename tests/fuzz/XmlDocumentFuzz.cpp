// Fuzz target: arbitrary bytes through the light XML parser, then write, re-parse and edit.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/xml/XmlDocument.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

using kelvo_fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    common::CXmlDocument first;
    first.ParseBytes(std::vector<uint8_t>(data, data + size));
    Check(!first.IsComplete() || first.LastError() == common::XmlError::None);

    // Whatever was kept of the input, the writer's output must read back whole, and two round trips (which
    // restore the attribute order) must give the same bytes.
    std::vector<uint8_t> written = first.ToBytes();
    // Nothing XML forbids reaches the file, whatever the input held: a DOM reader takes every file written.
    std::u16string text = first.ToText();
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        Check(unit >= 0x20 || unit == u'\t' || unit == u'\n' || unit == u'\r');
        Check(unit != 0xFFFE && unit != 0xFFFF);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            Check(i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF);
            ++i;
        } else {
            Check(unit < 0xDC00 || unit > 0xDFFF);
        }
    }
    common::CXmlDocument second;
    Check(second.ParseBytes(written));
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
