#include "core/base/stack_wipe.h"

#include <string.h>

namespace tessaline {

namespace {

// Zeros the vector registers. The ciphers and the key derivation leave the key in them when
// they return, and whatever saves the registers next writes them onto the stack: the
// dynamic linker does so when it resolves a library function on its first call, and so
// does the system when it delivers a signal. Those saves can lie above the area cleared
// below, in frames the thread only enters after the clearing.
void ClearVectorRegisters() {
#if defined(__x86_64__)
    if (__builtin_cpu_supports("avx")) {
        // With AVX-512 this clears the whole of zmm0 to zmm15 as well.
        asm volatile("vzeroall"
                     :
                     :
                     : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8",
                       "xmm9", "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
    } else {
        asm volatile(
            "pxor %%xmm0, %%xmm0\n\tpxor %%xmm1, %%xmm1\n\tpxor %%xmm2, %%xmm2\n\t"
            "pxor %%xmm3, %%xmm3\n\tpxor %%xmm4, %%xmm4\n\tpxor %%xmm5, %%xmm5\n\t"
            "pxor %%xmm6, %%xmm6\n\tpxor %%xmm7, %%xmm7\n\tpxor %%xmm8, %%xmm8\n\t"
            "pxor %%xmm9, %%xmm9\n\tpxor %%xmm10, %%xmm10\n\tpxor %%xmm11, %%xmm11\n\t"
            "pxor %%xmm12, %%xmm12\n\tpxor %%xmm13, %%xmm13\n\tpxor %%xmm14, %%xmm14\n\t"
            "pxor %%xmm15, %%xmm15"
            :
            :
            : "xmm0", "xmm1", "xmm2", "xmm3", "xmm4", "xmm5", "xmm6", "xmm7", "xmm8", "xmm9",
              "xmm10", "xmm11", "xmm12", "xmm13", "xmm14", "xmm15");
    }
    if (__builtin_cpu_supports("avx512f")) {
        // The upper sixteen registers exist only with AVX-512. Code built without it never
        // uses them and cannot name them as clobbered; the libraries' code may use them.
#define TESSALINE_CLEAR_UPPER_VECTORS                                          \
    "vpxord %%zmm16, %%zmm16, %%zmm16\n\tvpxord %%zmm17, %%zmm17, %%zmm17\n\t" \
    "vpxord %%zmm18, %%zmm18, %%zmm18\n\tvpxord %%zmm19, %%zmm19, %%zmm19\n\t" \
    "vpxord %%zmm20, %%zmm20, %%zmm20\n\tvpxord %%zmm21, %%zmm21, %%zmm21\n\t" \
    "vpxord %%zmm22, %%zmm22, %%zmm22\n\tvpxord %%zmm23, %%zmm23, %%zmm23\n\t" \
    "vpxord %%zmm24, %%zmm24, %%zmm24\n\tvpxord %%zmm25, %%zmm25, %%zmm25\n\t" \
    "vpxord %%zmm26, %%zmm26, %%zmm26\n\tvpxord %%zmm27, %%zmm27, %%zmm27\n\t" \
    "vpxord %%zmm28, %%zmm28, %%zmm28\n\tvpxord %%zmm29, %%zmm29, %%zmm29\n\t" \
    "vpxord %%zmm30, %%zmm30, %%zmm30\n\tvpxord %%zmm31, %%zmm31, %%zmm31\n\t" \
    "vzeroupper"
#if defined(__AVX512F__)
        asm volatile(TESSALINE_CLEAR_UPPER_VECTORS
                     :
                     :
                     : "xmm16", "xmm17", "xmm18", "xmm19", "xmm20", "xmm21", "xmm22", "xmm23",
                       "xmm24", "xmm25", "xmm26", "xmm27", "xmm28", "xmm29", "xmm30", "xmm31");
#else
        asm volatile(TESSALINE_CLEAR_UPPER_VECTORS : :);
#endif
#undef TESSALINE_CLEAR_UPPER_VECTORS
    }
#endif
}

// Not inlined, so that its array lies beneath the frame of whoever called WipeStackBelow,
// where the functions that caller called had their frames.
[[gnu::noinline]] void ClearArea() {
    unsigned char area[kStackWipeBytes];
    explicit_bzero(area, sizeof area);
    // Keeps the array (and so the clearing) from being optimised away.
    asm volatile("" : : "r"(area) : "memory");
}

}  // namespace

void WipeStackBelow() {
    // The registers first: a save of them made while the stack is cleared (explicit_bzero
    // resolved on its first call) then holds nothing.
    ClearVectorRegisters();
    ClearArea();
}

}  // namespace tessaline
