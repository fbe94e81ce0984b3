// The native build's page decoder, through the C library's iconv: UTF-8, and EUC-KR with its Windows extension
// (code page 949, also named ks_c_5601-1987 and x-windows-949), which iconv knows as CP949.
#pragma once

#include "common/text/CharsetDecoder.h"

namespace common {

class IconvCharsetDecoder final : public ICharsetDecoder {
public:
    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) override;
};

// The iconv name for a charset a page names, or nullptr when it is not one the suite reads. Case is ignored.
const char* IconvCharsetName(std::string_view charset);

}  // namespace common
