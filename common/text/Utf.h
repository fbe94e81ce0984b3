// Conversions between UTF-8 bytes and the suite's UTF-16 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

inline constexpr char16_t kReplacementChar = 0xFFFD;

// Lenient decoder for files the suite reads: never fails and never reads outside [data, data + size).
// One-, two- and three-byte sequences give one code unit; four-byte sequences give a surrogate pair.
// A stray continuation byte, a lead byte of 0xF8 or above, a sequence cut off by the end of the input or by a
// byte that is not a continuation byte each give one U+FFFD, and decoding resumes at the next unconsumed byte.
// Overlong forms are not rejected: the suite's own files never hold them and they decode to the value encoded.
std::u16string Utf8ToUtf16(const uint8_t* data, size_t size);
std::u16string Utf8ToUtf16(std::string_view text);

// Strict decoder for text a user typed (command-line arguments): nullopt unless `text` is well-formed UTF-8, so
// overlong forms, encoded surrogates, values past U+10FFFF and cut sequences are refused rather than replaced.
std::optional<std::u16string> Utf8ToUtf16Strict(std::string_view text);

// Encoder for paths handed to POSIX calls and for diagnostics: a surrogate pair becomes one four-byte sequence,
// an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace common
