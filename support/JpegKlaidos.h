// The error handling that both the map picture decoder and the picture
// generator's encoder give libjpeg: an error long-jumps back to the caller's
// set-up point instead of ending the process, and nothing is printed.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct TKlaiduValdymas {
    jpeg_error_mgr bazinis;
    std::jmp_buf grizimas;
};

[[noreturn]] inline void KlaidaIsejimas(j_common_ptr info) {
    auto* valdymas = reinterpret_cast<TKlaiduValdymas*>(info->err);
    std::longjmp(valdymas->grizimas, 1);
}

inline void TylusIsvedimas(j_common_ptr) {}
