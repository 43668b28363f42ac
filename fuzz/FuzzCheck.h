// What a fuzz target's promises are checked with: a broken one ends the run as a crash.
#pragma once

#include <cstdlib>

namespace vmg::fuzz {

inline void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace vmg::fuzz
