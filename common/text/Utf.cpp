// UTF-8 and UTF-16 conversions.
#include "common/text/Utf.h"

namespace common {

namespace {

bool IsContinuation(uint8_t byte) {
    return (byte & 0xC0) == 0x80;
}

void AppendCodePoint(std::u16string& out, uint32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

}  // namespace

std::u16string Utf8ToUtf16(const uint8_t* data, size_t size) {
    std::u16string out;
    out.reserve(size);
    size_t i = 0;
    while (i < size) {
        uint8_t lead = data[i];
        size_t length;
        uint32_t codePoint;
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            codePoint = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            codePoint = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            codePoint = lead & 0x07;
        } else {
            out.push_back(kReplacementChar);
            ++i;
            continue;
        }
        size_t consumed = 1;
        while (consumed < length && i + consumed < size && IsContinuation(data[i + consumed])) {
            codePoint = (codePoint << 6) | (data[i + consumed] & 0x3F);
            ++consumed;
        }
        i += consumed;
        if (consumed < length || codePoint > 0x10FFFF) {
            out.push_back(kReplacementChar);
            continue;
        }
        AppendCodePoint(out, codePoint);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    return Utf8ToUtf16(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view text) {
    // Well-formed input is exactly what the encoder gives back for its decoding: every malformed form either
    // decodes to U+FFFD or re-encodes to other bytes (an overlong form to the short one, a surrogate to U+FFFD).
    std::u16string decoded = Utf8ToUtf16(text);
    if (Utf16ToUtf8(decoded) != text) {
        return std::nullopt;
    }
    return decoded;
}

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t codePoint = text[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            codePoint = kReplacementChar;
        }
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
        } else if (codePoint < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else if (codePoint < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
        }
    }
    return out;
}

}  // namespace common
