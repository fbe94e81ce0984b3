// HTML character references (&amp;, &#44032;, &#xAC00;), shared by the page readers.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Decodes character references; an unknown or malformed one stays as written. &nbsp; becomes a plain space.
std::u16string DecodeHtmlEntities(std::u16string_view text);

}  // namespace common
