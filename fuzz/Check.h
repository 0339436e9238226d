// The one way a fuzz target reports a property that does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Stops the program when a property does not hold; libFuzzer keeps the input.
inline void Check(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property violated: %s\n", property);
        std::abort();
    }
}

}  // namespace fuzz
