// Store addresses: scheme check, host and object path, and the ":port" that test builds put in a host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

struct StoreUrl {
    std::u16string host;    // without the port
    uint16_t port = 0;      // the scheme's default unless the host carried ":port"
    std::u16string object;  // from the first '/' on, or empty
};

// Splits `url` when it starts with `scheme` (compared ignoring case, e.g. u"HTTP://"): the rest up to the first
// '/' is the host, the rest from it the object path. A host of the form "name:port" with a port of 1 to 65535
// names that port; anything else after a colon makes the address unusable. nullopt for another scheme.
std::optional<StoreUrl> SplitStoreUrl(std::u16string_view url, std::u16string_view scheme, uint16_t defaultPort);

}  // namespace common
