// Reads HTML text into a DomDocument the way browsers forgive real pages: tag and attribute names in any case,
// attributes quoted or not, <p>, <li>, <td>, <th> and <tr> closed by what follows them, stray end tags
// ignored, comments dropped, <script>, <style>, <textarea> and <title> read as raw text.
#pragma once

#include <string_view>

#include "common/page/DomNode.h"

namespace common {

// Nesting deeper than this puts further elements beside their parent instead of inside it.
inline constexpr size_t kMaxDomDepth = 128;

// Parses `html` and appends what it holds to `parent` (the document's root for a page, an element for innerHTML).
void ParseHtml(std::u16string_view html, DomDocument& document, DomNode& parent);

// The children of `node` written back as HTML (innerHTML's reading): text and attribute values escaped, raw
// text elements as they are.
std::u16string WriteHtml(const DomNode& node);

// ASCII lower case, for tag, attribute and charset names.
std::u16string LowerAscii(std::u16string_view text);

}  // namespace common
