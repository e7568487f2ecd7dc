#ifndef ORVANE_FUZZ_SUPPORT_FUZZCHECK_H
#define ORVANE_FUZZ_SUPPORT_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

// A broken promise inside a fuzz target: says which one and aborts, so libFuzzer keeps the input
// and the corpus runner fails.
inline void fuzzCheck(bool holds, const char *what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

#endif
