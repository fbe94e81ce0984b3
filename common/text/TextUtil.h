// Small text helpers shared by the file models: numbers in element text and name comparison.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace common {

// Reads a signed decimal number the way the suite's files hold them: leading white space (units of 32 or
// below) and one sign are allowed, reading stops at the first non-digit, text without digits gives 0.
// Values outside int32_t are clamped to INT32_MIN / INT32_MAX.
int32_t ParseLeadingInt(std::u16string_view text);
// The same reading in the 64-bit range (file sizes): values past int64_t are clamped.
int64_t ParseLeadingInt64(std::u16string_view text);

// Decimal text of a number, as "%d" writes it.
std::u16string FormatInt(int32_t value);

// Case folding used for every element-name match. It folds the letters that have case in the Korean code page
// (949) the suite's files were made under: ASCII A-Z, full-width Ａ-Ｚ, Greek Α-Ω and Cyrillic А-Я and Ё.
// Other units compare as they are; no normalisation is done.
char16_t FoldCase(char16_t unit);
bool EqualsIgnoreCase(std::u16string_view a, std::u16string_view b);
bool StartsWithIgnoreCase(std::u16string_view text, std::u16string_view prefix);

}  // namespace common
