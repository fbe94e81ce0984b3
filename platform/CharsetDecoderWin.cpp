#include "platform/CharsetDecoderWin.h"

#include <array>
#include <cctype>
#include <climits>

#include "common/text/Utf.h"

namespace platform {

namespace {

constexpr UINT kKoreanCodePage = 949;
constexpr char16_t kReplacement = 0xFFFD;

// Appends the strict decoding of `bytes`; false (nothing appended) when any of them is not valid there.
bool AppendStrict(UINT codePage, const char* bytes, int size, std::u16string& out) {
    if (size == 0) {
        return true;
    }
    const int length = ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(length));
    ::MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, size, reinterpret_cast<wchar_t*>(&out[start]),
                          length);
    return true;
}

// 0x80 and 0xFF are no part of any character of code page 949, though the system may map them alone.
bool IsNeverKorean(UINT codePage, unsigned char byte) {
    return codePage == kKoreanCodePage && (byte == 0x80 || byte == 0xFF);
}

// How many bytes the character starting with `lead` takes.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    return 2;  // code page 949: every byte from 0x80 up begins a two-byte character or is invalid
}

// The slow road for Korean input with invalid bytes: character by character, each byte that does not begin a valid
// character becomes one U+FFFD and decoding goes on at the next byte.
std::u16string DecodeReplacing(UINT codePage, std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t at = 0;
    while (at < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[at]);
        const size_t length = SequenceLength(lead);
        const bool isSingleHigh = (lead >= 0x80 && length == 1) || IsNeverKorean(codePage, lead);
        if (!isSingleHigh && at + length <= bytes.size() &&
            AppendStrict(codePage, bytes.data() + at, static_cast<int>(length), out)) {
            at += length;
            continue;
        }
        out.push_back(kReplacement);
        ++at;
    }
    return out;
}

}  // namespace

std::optional<UINT> CharsetDecoderWin::CodePageOf(std::string_view charset) {
    while (!charset.empty() && std::isspace(static_cast<unsigned char>(charset.front()))) {
        charset.remove_prefix(1);
    }
    while (!charset.empty() && std::isspace(static_cast<unsigned char>(charset.back()))) {
        charset.remove_suffix(1);
    }
    std::string name;
    for (char c : charset) {
        name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    static constexpr std::array<std::string_view, 2> kUtf8 = {"utf-8", "utf8"};
    static constexpr std::array<std::string_view, 9> kKorean = {
        "euc-kr", "euckr",        "cp949",           "ms949",      "windows-949",
        "x-windows-949", "ks_c_5601-1987", "ks_c_5601-1989", "uhc"};
    for (std::string_view known : kUtf8) {
        if (name == known) {
            return CP_UTF8;
        }
    }
    for (std::string_view known : kKorean) {
        if (name == known) {
            return kKoreanCodePage;
        }
    }
    return std::nullopt;
}

std::optional<std::u16string> CharsetDecoderWin::Decode(std::string_view bytes, std::string_view charset) {
    std::optional<UINT> codePage = CodePageOf(charset);
    if (!codePage) {
        return std::nullopt;
    }
    std::u16string text;
    bool hasLoneHigh = false;
    for (char byte : bytes) {
        hasLoneHigh = hasLoneHigh || IsNeverKorean(*codePage, static_cast<unsigned char>(byte));
    }
    if (!hasLoneHigh && bytes.size() <= static_cast<size_t>(INT_MAX) &&
        AppendStrict(*codePage, bytes.data(), static_cast<int>(bytes.size()), text)) {
        return text;
    }
    // For UTF-8 the suite's own lenient decoder gives one U+FFFD per broken sequence, as browsers do.
    return *codePage == CP_UTF8 ? common::Utf8ToUtf16(bytes) : DecodeReplacing(*codePage, bytes);
}

}  // namespace platform
