// The fuzz targets' invariant check: a violated invariant aborts, which libFuzzer reports with the input.
#pragma once

#include <cstdlib>

namespace kelvo_fuzz {

inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace kelvo_fuzz
