// The fuzz targets' check: a broken expectation prints where and what, then
// aborts, so libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define TIKRINTI(salyga)                                                                                               \
    do {                                                                                                               \
        if (!(salyga)) {                                                                                               \
            std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #salyga);                                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (false)
