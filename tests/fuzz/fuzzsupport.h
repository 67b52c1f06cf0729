#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep; a broken one is a crash the fuzzer
// saves and the replay test reports.
#define ZQW_FUZZ_REQUIRE(condition)                                                      \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
