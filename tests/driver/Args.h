// Command-line parsing for kdrive: one subcommand, then "--name value" options and "--flag" switches.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kdrive {

enum class OptionKind { Text, Number, Point, Flag };

struct OptionRule {
    const wchar_t* name;  // without the leading "--"
    OptionKind kind;
    bool isRequired;
    int64_t min;  // bounds apply to Number options only
    int64_t max;
};

using Syntax = std::vector<OptionRule>;

// Options a command line gave, already checked against the command's syntax: every getter below is safe to call
// for a name of that syntax, and a Number lies within its bounds.
class Args {
public:
    // Parses the tokens after the subcommand name. On failure returns false and sets *error to a one-line reason;
    // unknown names, repeated names, missing values, malformed or out-of-range numbers are all failures.
    bool Parse(const std::vector<std::wstring>& tokens, const Syntax& syntax, std::wstring* error);

    bool Has(const std::wstring& name) const;
    std::wstring Text(const std::wstring& name, const std::wstring& fallback = std::wstring()) const;
    int64_t Number(const std::wstring& name, int64_t fallback) const;
    std::pair<int, int> Point(const std::wstring& name) const;

private:
    std::map<std::wstring, std::wstring> m_values;
    std::set<std::wstring> m_flags;
};

// Decimal with an optional minus sign, or 0x hex. Both spellings cover the 64-bit pattern space, so "-1" and
// "0xFFFFFFFFFFFFFFFF" give the same bits (an lparam of -1 can be written either way).
std::optional<int64_t> ParseNumber(const std::wstring& text);

// "X,Y" in decimal, either coordinate may be negative (points left of or above a client area are legitimate).
std::optional<std::pair<int, int>> ParsePoint(const std::wstring& text);

}  // namespace kdrive
