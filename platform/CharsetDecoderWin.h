// The page view's decoder of fetched pages on Windows: the system's code pages (65001 for UTF-8, 949 for the
// Korean EUC-KR and its Windows extension).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "common/text/CharsetDecoder.h"

namespace platform {

class CharsetDecoderWin : public common::ICharsetDecoder {
public:
    std::optional<std::u16string> Decode(std::string_view bytes, std::string_view charset) override;

    // The code page of a charset name as pages and servers spell it (case and surrounding blanks ignored);
    // nullopt for names not known here.
    static std::optional<UINT> CodePageOf(std::string_view charset);
};

}  // namespace platform
