#pragma once
// A property a fuzzer checks on every input: when it fails, the input is
// reported as a crash and saved by libFuzzer.

#include <cstdio>
#include <cstdlib>

#define MF_FUZZ_CHECK(condition)                                                               \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
