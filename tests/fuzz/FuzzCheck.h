// The fuzz targets' invariant check: a violated invariant aborts, which libFuzzer reports with the input.
#pragma once

#include <cstdlib>
#include <string_view>

namespace kelvo_fuzz {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// Whether text holds a unit the light XML writer drops: a character XML forbids, or half of a surrogate pair
// (counted even when paired, which only makes a target skip a comparison more often). A file that held one
// reads back without it, while the tree it was parsed into keeps it.
inline bool HoldsUnitsTheWriterDrops(std::u16string_view text) {
    for (char16_t unit : text) {
        if ((unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r') || unit >= 0xFFFE ||
            (unit >= 0xD800 && unit <= 0xDFFF)) {
            return true;
        }
    }
    return false;
}

}  // namespace kelvo_fuzz
