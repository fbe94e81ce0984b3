// Helpers for the suite's Windows-style paths (backslash separated, "X:" drive prefix), kept portable.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace common {

// The folder of an executable path: everything before the last backslash; nullopt when there is none.
std::optional<std::u16string> FolderOf(std::u16string_view path);

// folder + "\" + name; no second backslash when folder already ends in one.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);

// A path whose second character is ':' gets `drive` as its first character; any other path is returned as it is.
std::u16string ReplaceDriveLetter(std::u16string_view path, char16_t drive);

// The file name: everything after the last backslash or slash (the whole text when there is none).
std::u16string_view FileName(std::u16string_view path);

// The file name (after the last backslash or slash) without its last extension: the caption of a dropped file.
// A name whose only dot is its first character ("\.profile") keeps it.
std::u16string FileTitle(std::u16string_view path);

// Whether the file name's extension, from its last dot and including it, starts with `prefix` ignoring case.
// ExtensionStartsWith(u"a\\B.LNK", u".lnk") is true; a name without a dot has no extension.
bool ExtensionStartsWith(std::u16string_view path, std::u16string_view prefix);

}  // namespace common
