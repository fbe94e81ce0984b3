// Addresses a page names (links, form actions, location.href), resolved against the page's own address.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// `href` made absolute against `pageUrl` (an http address): absolute http addresses, "//host/..", "/path",
// "?query" and relative paths with "." and ".." are understood; the fragment is dropped; spaces and characters
// beyond ASCII are percent-encoded as UTF-8. nullopt for any other scheme (https, mailto, javascript, ...), for a
// bare "#fragment", and for an address on another host or port than the page's.
std::optional<std::u16string> ResolvePageUrl(std::u16string_view pageUrl, std::u16string_view href);

}  // namespace common
