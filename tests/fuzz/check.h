// A fuzz target's assertion: a fact that fails stops the run where libFuzzer can report it.
#pragma once

inline void Check(bool fact) {
    if (!fact)
        __builtin_trap();
}
