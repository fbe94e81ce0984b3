// A UTF-16 text field of fixed size inside a binary record; the only way record texts are set or read.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace common {

// Holds at most N - 1 code units and always a terminator within the field, whatever was copied into it.
template <size_t N>
class FixedText {
    static_assert(N > 0);

public:
    static constexpr size_t kUnits = N;

    std::u16string Get() const {
        size_t length = 0;
        while (length < N && m_units[length] != 0) {
            ++length;
        }
        return std::u16string(m_units, length);
    }

    // Cuts text to the field; returns false when it had to cut.
    bool Set(const std::u16string& text) {
        size_t count = text.size() < N ? text.size() : N - 1;
        std::memcpy(m_units, text.data(), count * sizeof(char16_t));
        std::memset(m_units + count, 0, (N - count) * sizeof(char16_t));
        return count == text.size();
    }

    bool IsEmpty() const { return m_units[0] == 0; }

    // For records taken whole from outside: make the last unit the terminator.
    void Terminate() { m_units[N - 1] = 0; }

    // The field as a NUL-terminated buffer, for the Windows layer.
    const char16_t* CStr() const { return m_units; }

private:
    char16_t m_units[N] = {};
};

}  // namespace common
