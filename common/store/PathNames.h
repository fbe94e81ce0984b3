// The one gate for names from the store (profile fields, package names) before they become parts of a local path.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace common {

// Paths and file names are held in buffers of this many UTF-16 units, terminator included.
inline constexpr size_t kPathBufferUnits = 260;
// NTFS and FAT32 refuse a single path element longer than this.
inline constexpr size_t kMaxElementUnits = 255;

enum class NameError {
    None,
    Empty,                // empty name, or an empty element ("//", a trailing "/", a directory of only "/")
    DotElement,           // "." or ".."
    Separator,            // '\' anywhere, '/' inside a plain name
    Colon,                // ':' (drive letters, alternate data streams)
    ForbiddenChar,        // < > " | ? * or a control character below 32
    TrailingDotOrSpace,   // Windows strips these, so the name would land on another file
    ReservedDevice,       // CON, PRN, AUX, NUL, COM1-9, LPT1-9 ..., with or without an extension
    MissingLeadingSlash,  // a non-empty directory must start with '/': the FTP path appends it as written
    TooLong,              // an element over kMaxElementUnits, or text that does not fit its buffer
};

// A short English reason, for logs and test output.
const char* NameErrorText(NameError error);

// One path element from outside: a file name, a package folder name, a program file name.
// `bufferUnits` is the buffer the name alone must fit, terminator included (a name of at most bufferUnits - 1
// units). Comparison of device names ignores case.
NameError CheckPlainName(std::u16string_view name, size_t bufferUnits);

// A profile DIRECTORY: empty (the package folder itself) or "/" followed by elements separated by single '/',
// each passing CheckPlainName. `bufferUnits` bounds the whole text, as for CheckPlainName.
NameError CheckDirectory(std::u16string_view directory, size_t bufferUnits);

// The elements of a directory that CheckDirectory accepted, leading '/' skipped; empty for "".
// nullopt when the directory is not valid. The views point into `directory`.
std::optional<std::vector<std::u16string_view>> SplitDirectory(std::u16string_view directory);

// base + "\" + each directory element + "\" + name, after checking directory and name, into `path`.
// `base` is trusted (built by the caller from its own folders); a trailing backslash on it is not doubled.
// An empty name gives the folder itself. TooLong when the joined path needs bufferUnits or more units;
// on any error `path` is left unchanged.
NameError JoinUnder(std::u16string_view base, std::u16string_view directory, std::u16string_view name,
                    size_t bufferUnits, std::u16string& path);

}  // namespace common
