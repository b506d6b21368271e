#pragma once

namespace zobl::fuzz {

// What a fuzz target expects of the code under test: a broken expectation stops the run as a
// finding, with the input that caused it.
inline void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

}  // namespace zobl::fuzz
