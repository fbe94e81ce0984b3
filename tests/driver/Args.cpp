// Command-line parsing for kdrive.
#include "Args.h"

#include <limits>

namespace kdrive {
namespace {

const OptionRule* FindRule(const Syntax& syntax, const std::wstring& name) {
    for (const OptionRule& rule : syntax) {
        if (name == rule.name) {
            return &rule;
        }
    }
    return nullptr;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') {
        return c - L'0';
    }
    if (c >= L'a' && c <= L'f') {
        return c - L'a' + 10;
    }
    if (c >= L'A' && c <= L'F') {
        return c - L'A' + 10;
    }
    return -1;
}

}  // namespace

std::optional<int64_t> ParseNumber(const std::wstring& text) {
    size_t pos = 0;
    bool isNegative = false;
    if (pos < text.size() && text[pos] == L'-') {
        isNegative = true;
        ++pos;
    }
    bool isHex = text.size() >= pos + 2 && text[pos] == L'0' && (text[pos + 1] == L'x' || text[pos + 1] == L'X');
    if (isHex) {
        pos += 2;
    }
    if (pos == text.size()) {
        return std::nullopt;
    }
    const uint64_t base = isHex ? 16 : 10;
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        int digit = HexDigit(text[pos]);
        if (digit < 0 || static_cast<uint64_t>(digit) >= base) {
            return std::nullopt;
        }
        if (value > (std::numeric_limits<uint64_t>::max() - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    if (isNegative) {
        // Down to INT64_MIN; "-0x..." is accepted for symmetry.
        if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + 1) {
            return std::nullopt;
        }
        return static_cast<int64_t>(0 - value);
    }
    return static_cast<int64_t>(value);
}

std::optional<std::pair<int, int>> ParsePoint(const std::wstring& text) {
    size_t comma = text.find(L',');
    if (comma == std::wstring::npos) {
        return std::nullopt;
    }
    auto x = ParseNumber(text.substr(0, comma));
    auto y = ParseNumber(text.substr(comma + 1));
    auto fitsInt = [](int64_t v) {
        return v >= std::numeric_limits<int>::min() && v <= std::numeric_limits<int>::max();
    };
    if (!x || !y || !fitsInt(*x) || !fitsInt(*y)) {
        return std::nullopt;
    }
    return std::make_pair(static_cast<int>(*x), static_cast<int>(*y));
}

bool Args::Parse(const std::vector<std::wstring>& tokens, const Syntax& syntax, std::wstring* error) {
    m_values.clear();
    m_flags.clear();
    for (size_t i = 0; i < tokens.size(); ++i) {
        const std::wstring& token = tokens[i];
        if (token.size() < 3 || token.compare(0, 2, L"--") != 0) {
            *error = L"unexpected argument '" + token + L"'";
            return false;
        }
        const std::wstring name = token.substr(2);
        const OptionRule* rule = FindRule(syntax, name);
        if (!rule) {
            *error = L"unknown option --" + name;
            return false;
        }
        if (m_values.count(name) || m_flags.count(name)) {
            *error = L"option --" + name + L" given twice";
            return false;
        }
        if (rule->kind == OptionKind::Flag) {
            m_flags.insert(name);
            continue;
        }
        if (i + 1 >= tokens.size()) {
            *error = L"option --" + name + L" needs a value";
            return false;
        }
        const std::wstring& value = tokens[++i];
        if (rule->kind == OptionKind::Number) {
            auto number = ParseNumber(value);
            if (!number || *number < rule->min || *number > rule->max) {
                *error = L"bad number for --" + name + L": '" + value + L"'";
                return false;
            }
        } else if (rule->kind == OptionKind::Point && !ParsePoint(value)) {
            *error = L"bad point for --" + name + L" (want X,Y): '" + value + L"'";
            return false;
        }
        m_values[name] = value;
    }
    for (const OptionRule& rule : syntax) {
        if (rule.isRequired && !Has(rule.name)) {
            *error = std::wstring(L"missing --") + rule.name;
            return false;
        }
    }
    return true;
}

bool Args::Has(const std::wstring& name) const {
    return m_values.count(name) != 0 || m_flags.count(name) != 0;
}

std::wstring Args::Text(const std::wstring& name, const std::wstring& fallback) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? fallback : it->second;
}

int64_t Args::Number(const std::wstring& name, int64_t fallback) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? fallback : ParseNumber(it->second).value_or(fallback);
}

std::pair<int, int> Args::Point(const std::wstring& name) const {
    auto it = m_values.find(name);
    return it == m_values.end() ? std::make_pair(0, 0) : ParsePoint(it->second).value_or(std::make_pair(0, 0));
}

}  // namespace kdrive
