// Which character set a fetched page is in: the HTTP Content-Type's charset wins, else a <meta charset=..> or
// <meta http-equiv content="..; charset=.."> in the first 1024 bytes (as browsers pre-scan), else UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace common {

std::string FindPageCharset(std::string_view contentType, std::string_view bytes);

}  // namespace common
