// Turns a fetched page's bytes into text. The Windows build decodes through the system's code pages, the native
// build through iconv; both know at least UTF-8 and the Korean EUC-KR / code page 949.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

class ICharsetDecoder {
public:
    virtual ~ICharsetDecoder() = default;
    // `charset` as a page names it ("utf-8", "EUC-KR", "ks_c_5601-1987", "cp949", ...; case ignored); nullopt
    // when the name is unknown. Bytes that do not decode become U+FFFD, never an error.
    virtual std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) = 0;
};

}  // namespace common
