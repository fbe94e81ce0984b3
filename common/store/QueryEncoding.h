// Query strings sent to the store: percent-encoding of code-page bytes and the store notice object.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// The store notice paths, relative to the store's HTTP host.
inline constexpr std::u16string_view kInstallNoticePath = u"/apps/update_Set.asp";
inline constexpr std::u16string_view kRemovalNoticePath = u"/apps/delete_Set.asp";

// Every byte except the unreserved ASCII set (A-Z a-z 0-9 - . _ ~) becomes "%XX" with upper-case hex digits.
// The bytes are the text in the store's code page (949); the Windows side converts from UTF-16 before calling.
std::u16string PercentEncode(std::string_view bytes);

// "<noticePath>?userID=<id>&userPwd=<password>&appIdx=<decimal index>", id and password percent-encoded from
// their code-page bytes. Encoding keeps a password holding '&', '=' or '#' from splitting or cutting the query.
// The notice path is used as given (one of the constants above).
std::u16string BuildStoreNoticeObject(std::u16string_view noticePath, std::string_view userIdBytes,
                                      std::string_view passwordBytes, int32_t appIndex);

}  // namespace common
