// Percent-encoding for the store's query strings.
#include "common/store/QueryEncoding.h"

#include "common/text/TextUtil.h"

namespace common {

namespace {

bool IsUnreserved(uint8_t byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '.' || byte == '_' || byte == '~';
}

}  // namespace

std::u16string PercentEncode(std::string_view bytes) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::u16string out;
    out.reserve(bytes.size() * 3);
    for (char c : bytes) {
        uint8_t byte = static_cast<uint8_t>(c);
        if (IsUnreserved(byte)) {
            out.push_back(static_cast<char16_t>(byte));
        } else {
            out.push_back(u'%');
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0x0F]);
        }
    }
    return out;
}

std::u16string BuildStoreNoticeObject(std::u16string_view noticePath, std::string_view userIdBytes,
                                      std::string_view passwordBytes, int32_t appIndex) {
    std::u16string object(noticePath);
    object += u"?userID=";
    object += PercentEncode(userIdBytes);
    object += u"&userPwd=";
    object += PercentEncode(passwordBytes);
    object += u"&appIdx=";
    object += FormatInt(appIndex);
    return object;
}

}  // namespace common
